// Escape from the X server, so that it is seen whichever program has the focus: as events of
// the X Input extension, which every press reaches however short, or, where the server has no
// such extension, from its key map.
#include "screen_sources.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace tovaro::gui {

namespace {

class X11KeySource : public KeySource {
public:
    explicit X11KeySource(Display* display)
        : display_(display)
        , escape_(XKeysymToKeycode(display, XK_Escape))
    {
        // A connection of its own: Qt reads the events of the one it has.
        events_ = XOpenDisplay(XDisplayString(display));
        int event = 0;
        int error = 0;
        int major = 2;
        int minor = 0;
        if (events_ != nullptr
            && (!XQueryExtension(events_, "XInputExtension", &opcode_, &event, &error)
                || XIQueryVersion(events_, &major, &minor) != Success)) {
            XCloseDisplay(events_);
            events_ = nullptr;
        }
    }
    ~X11KeySource() override
    {
        if (events_ != nullptr)
            XCloseDisplay(events_);
    }
    X11KeySource(const X11KeySource&) = delete;
    X11KeySource& operator=(const X11KeySource&) = delete;

    // The raw key presses of the whole screen are asked for while a picker runs only: a
    // connection that nobody reads would hold every key the user types elsewhere.
    void BeginCounting(int virtualKey) override
    {
        if (virtualKey != kEscapeKey)
            return;
        if (events_ != nullptr) {
            SelectRawPresses(true);
            XSync(events_, False);
            CountPresses(); // those made before: dropped
        }
        wasDown_ = EscapeDownNow();
    }
    void EndCounting() override
    {
        if (events_ == nullptr)
            return;
        SelectRawPresses(false);
        XSync(events_, False);
        CountPresses();
    }
    bool IsKeyPressed(int virtualKey) override
    {
        if (virtualKey != kEscapeKey || escape_ == 0)
            return false;
        if (events_ != nullptr)
            return CountPresses() > 0;
        // The key map: a press between two queries is missed, a held one is not.
        const bool down = EscapeDownNow();
        const bool result = down && !wasDown_;
        wasDown_ = down;
        return result;
    }

private:
    bool EscapeDownNow()
    {
        char keys[32] = {};
        XQueryKeymap(display_, keys);
        return escape_ != 0 && ((keys[escape_ / 8] >> (escape_ % 8)) & 1) != 0;
    }

    void SelectRawPresses(bool on)
    {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        if (on)
            XISetMask(bits, XI_RawKeyPress);
        XIEventMask mask;
        mask.deviceid = XIAllMasterDevices;
        mask.mask_len = sizeof bits;
        mask.mask = bits;
        XISelectEvents(events_, DefaultRootWindow(events_), &mask, 1);
    }

    // The Escape presses that have come since the last call.
    int CountPresses()
    {
        int presses = 0;
        while (XPending(events_) > 0) {
            XEvent event;
            XNextEvent(events_, &event);
            XGenericEventCookie* cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != opcode_
                || !XGetEventData(events_, cookie))
                continue;
            if (cookie->evtype == XI_RawKeyPress
                && static_cast<const XIRawEvent*>(cookie->data)->detail == escape_)
                ++presses;
            XFreeEventData(events_, cookie);
        }
        return presses;
    }

    Display* display_;
    KeyCode escape_;
    Display* events_ = nullptr; ///< where the raw key presses come, or none without XInput 2
    int opcode_ = 0;
    bool wasDown_ = false;
};

} // namespace

std::unique_ptr<KeySource> MakeX11KeySource(void* display)
{
    return std::make_unique<X11KeySource>(static_cast<Display*>(display));
}

} // namespace tovaro::gui
