// Engine events handed to a window's event callback, and the display-mode
// record walked by EnumerateDisplayModes.
#pragma once

#include <cstdint>

#include "engine/host/host_messages.h"

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
  K_MSG_DESTROY = kHostMsgDestroy,
  K_MSG_PAINT = kHostMsgPaint,
  K_MSG_CLOSE = kHostMsgClose,
  K_MSG_ACTIVATEAPP = kHostMsgActivateApp,
  K_MSG_CONTEXTMENU = kHostMsgContextMenu,
  K_MSG_KEYDOWN = kHostMsgKeyDown,
  K_MSG_KEYUP = kHostMsgKeyUp,
  K_MSG_CHAR = kHostMsgChar,
  K_MSG_MOUSEMOVE = kHostMsgMouseMove,
  K_MSG_LBUTTONDOWN = kHostMsgLButtonDown,
  K_MSG_LBUTTONUP = kHostMsgLButtonUp,
  K_MSG_LBUTTONDBLCLK = kHostMsgLButtonDblClk,
  K_MSG_RBUTTONDOWN = kHostMsgRButtonDown,
  K_MSG_RBUTTONUP = kHostMsgRButtonUp,
  K_MSG_RBUTTONDBLCLK = kHostMsgRButtonDblClk,
  K_MSG_MBUTTONDOWN = kHostMsgMButtonDown,
  K_MSG_MBUTTONUP = kHostMsgMButtonUp,
  K_MSG_MBUTTONDBLCLK = kHostMsgMButtonDblClk,
  K_MSG_MOUSEWHEEL = kHostMsgMouseWheel,
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
