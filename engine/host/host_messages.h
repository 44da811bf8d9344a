// Window message numbers the host event pump hands on (the numbering of the
// window messages the engine was written for).
#pragma once

#include <cstdint>

enum HostMessageNumber : uint32_t {
  kHostMsgDestroy = 0x0002,
  kHostMsgPaint = 0x000F,
  kHostMsgClose = 0x0010,
  kHostMsgActivateApp = 0x001C,
  kHostMsgContextMenu = 0x007B,
  kHostMsgKeyDown = 0x0100,
  kHostMsgKeyUp = 0x0101,
  kHostMsgChar = 0x0102,
  kHostMsgMouseMove = 0x0200,
  kHostMsgLButtonDown = 0x0201,
  kHostMsgLButtonUp = 0x0202,
  kHostMsgLButtonDblClk = 0x0203,
  kHostMsgRButtonDown = 0x0204,
  kHostMsgRButtonUp = 0x0205,
  kHostMsgRButtonDblClk = 0x0206,
  kHostMsgMButtonDown = 0x0207,
  kHostMsgMButtonUp = 0x0208,
  kHostMsgMButtonDblClk = 0x0209,
  kHostMsgMouseWheel = 0x020A,
};
