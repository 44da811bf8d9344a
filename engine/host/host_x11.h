// X11 details SDL leaves to the program.
#pragma once

// Installs an X error handler that ignores a focus request refused because
// the window is not mapped yet (SDL asks for focus as soon as it shows a
// full-screen window; under a slow server the request can arrive too early).
// Xlib's default handler would end the process for it. Every other error
// goes to the previous handler. Does nothing when video is not on X11.
void HostFilterX11Errors();
