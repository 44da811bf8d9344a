// Engine events handed to a window's event callback, and the display-mode
// record walked by EnumerateDisplayModes.
#pragma once

#include <cstdint>

// Event types (KEvent::type). Any other window message gives type 0.
enum KEventType : uint32_t {
  K_EVENT_NONE = 0,
  K_EVENT_MOUSEMOVE = 1,
  K_EVENT_MOUSEUP = 2,
  K_EVENT_MOUSEDOWN = 3,
  K_EVENT_CHAR = 5,
  K_EVENT_KEYDOWN = 6,
  K_EVENT_KEYUP = 7,
  K_EVENT_DBLCLICK = 8,
  K_EVENT_WHEEL = 11,
  K_EVENT_CONTEXTMENU = 12,
};

// Window message numbers carried in KEvent::message and passed to the message
// hook. The host layer translates its own events into these.
enum KWindowMessage : uint32_t {
  K_MSG_DESTROY = 0x0002,
  K_MSG_PAINT = 0x000F,
  K_MSG_CLOSE = 0x0010,
  K_MSG_ACTIVATEAPP = 0x001C,
  K_MSG_CONTEXTMENU = 0x007B,
  K_MSG_KEYDOWN = 0x0100,
  K_MSG_KEYUP = 0x0101,
  K_MSG_CHAR = 0x0102,
  K_MSG_MOUSEMOVE = 0x0200,
  K_MSG_LBUTTONDOWN = 0x0201,
  K_MSG_LBUTTONUP = 0x0202,
  K_MSG_LBUTTONDBLCLK = 0x0203,
  K_MSG_RBUTTONDOWN = 0x0204,
  K_MSG_RBUTTONUP = 0x0205,
  K_MSG_RBUTTONDBLCLK = 0x0206,
  K_MSG_MBUTTONDOWN = 0x0207,
  K_MSG_MBUTTONUP = 0x0208,
  K_MSG_MBUTTONDBLCLK = 0x0209,
  K_MSG_MOUSEWHEEL = 0x020A,
};

// Engine key code meaning "no key" (see KInput).
constexpr uint32_t K_NO_KEY = 100;

struct KEvent {
  uint32_t type;        // KEventType, 0 for any other message
  int32_t mouseX;       // cursor position in logical client coordinates
  int32_t mouseY;
  uint32_t button;      // 1 left, 2 right, 3 middle, 0 none
  uint16_t wheel;       // high word of wParam, wheel message only
  uint8_t charCode;     // character (char / key-up) or scan code (key-down)
  uint32_t virtualKey;  // wParam of key-down and key-up
  uint32_t message;     // KWindowMessage number
  uint32_t keyCode;     // engine key code of key-down / key-up, K_NO_KEY otherwise
  uint32_t lParam;      // the message's lParam
};

struct KDisplayMode {
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  int32_t frequency;
};
