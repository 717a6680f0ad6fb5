/* Sends a window manager's close request (WM_DELETE_WINDOW) to a window, as the close button
 * or Alt+F4 does. Usage: send_close WINDOW-ID */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    Display* d = XOpenDisplay(NULL);
    if (d == NULL)
        return 1;
    XEvent e = { 0 };
    e.xclient.type = ClientMessage;
    e.xclient.window = (Window)strtoul(argv[1], NULL, 0);
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
    XFlush(d);
    XCloseDisplay(d);
    return 0;
}
