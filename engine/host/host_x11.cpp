#include "engine/host/host_x11.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

XErrorHandler previousHandler = nullptr;

int FilterError(Display* display, XErrorEvent* error) {
  if (error->request_code == X_SetInputFocus && error->error_code == BadMatch) return 0;
  return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

}  // namespace

void HostFilterX11Errors() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || SDL_strcmp(driver, "x11") != 0) return;
  XErrorHandler current = XSetErrorHandler(FilterError);
  if (current != FilterError) previousHandler = current;
}
