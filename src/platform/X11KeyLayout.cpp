#include "X11KeyLayout.h"

#if defined(QUELVANE_HAVE_X11)

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <X11/XKBlib.h>
#include <array>
#include <cstdint>
#include <iterator>

namespace {

struct CharCode {
    char32_t character;
    int code;
};

// The four codes every layout names by what the key types.
constexpr CharCode NamedEverywhere[] = {
    {U'+', 187}, {U'=', 187}, {U'-', 189}, {U'_', 189}, {U'.', 190}, {U',', 188},
};

// The other punctuation codes, by the character their name shows.
constexpr CharCode NamedByCharacter[] = {
    {U';', 186}, {U':', 186},  {U'/', 191}, {U'?', 191}, {U'`', 192}, {U'~', 192},  {U'[', 219},
    {U'{', 219}, {U'\\', 220}, {U'|', 220}, {U']', 221}, {U'}', 221}, {U'\'', 222}, {U'"', 222},
};

// Where the symbol keys sit (X key codes of a PC keyboard), for the keys
// whose characters have no code of their own on the active layout.
constexpr std::array<std::pair<unsigned, int>, 12> ByPosition = {{
    {20, 189},
    {21, 187},
    {34, 219},
    {35, 221},
    {47, 186},
    {48, 222},
    {49, 192},
    {51, 220},
    {59, 188},
    {60, 190},
    {61, 191},
    {94, 226},
}};

constexpr unsigned FirstDigitKey = 10; // the "1" key; "0" is 19

int lookup(const CharCode *table, size_t size, char32_t c)
{
    for (size_t i = 0; i < size; ++i) {
        if (table[i].character == c)
            return table[i].code;
    }
    return 0;
}

bool isAsciiLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

Display *display()
{
    if (!qGuiApp || QGuiApplication::platformName() != u"xcb")
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The character a key symbol types; 0 for dead keys, function keys and the
// like.
char32_t characterOf(KeySym sym)
{
    if ((sym >= 0x20 && sym <= 0x7e) || (sym >= 0xa0 && sym <= 0xff))
        return char32_t(sym);
    if ((sym & 0xff000000) == 0x01000000)
        return char32_t(sym & 0x00ffffff);
    return 0;
}

// The unshifted and shifted characters of every key in one group.
struct Layout {
    static constexpr unsigned Keys = 256;
    std::array<std::array<char32_t, 2>, Keys> characters{};
    std::array<bool, Keys> present{};
    int group = -1;

    bool read(Display *d)
    {
        XkbStateRec state;
        if (XkbGetState(d, XkbUseCoreKbd, &state) != Success)
            return false;
        XkbDescPtr desc = XkbGetMap(d, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!desc)
            return false;
        group = state.group;
        for (unsigned k = desc->min_key_code; k <= desc->max_key_code && k < Keys; ++k) {
            const int groups = XkbKeyNumGroups(desc, k);
            if (groups == 0)
                continue;
            // A group the key does not have wraps round, as the server does.
            const int group = state.group % groups;
            const int width = XkbKeyGroupWidth(desc, k, group);
            for (int level = 0; level < 2 && level < width; ++level)
                characters[k][level] = characterOf(XkbKeySymEntry(desc, k, level, group));
            present[k] = true;
        }
        XkbFreeKeyboard(desc, XkbAllComponentsMask, True);
        return true;
    }

    bool isSymbolKey(unsigned k) const
    {
        const char32_t c = characters[k][0];
        if (c != 0)
            return c != U' ' && !isAsciiLetter(c) && !(c >= U'0' && c <= U'9');
        // A dead key sitting where a symbol key is.
        for (const auto &[key, code] : ByPosition) {
            if (key == k)
                return present[k];
        }
        return false;
    }

    // The codes of all symbol keys. A key takes the first of these that
    // gives it a code: its unshifted then its shifted character among the
    // four named everywhere, then likewise among the others, then its
    // position. A code taken in one pass is not given again in a later one,
    // so two keys share a code only when both type its character.
    std::array<int, Keys> symbolCodes() const
    {
        std::array<int, Keys> codes{};
        std::array<bool, 256> taken{};
        const auto pass = [&](const CharCode *table, size_t size, int level) {
            std::array<bool, 256> takenNow{};
            for (unsigned k = 0; k < Keys; ++k) {
                if (codes[k] != 0 || !isSymbolKey(k))
                    continue;
                const int code = lookup(table, size, characters[k][level]);
                if (code != 0 && !taken[code]) {
                    codes[k] = code;
                    takenNow[code] = true;
                }
            }
            for (size_t c = 0; c < taken.size(); ++c)
                taken[c] = taken[c] || takenNow[c];
        };
        for (int level : {0, 1})
            pass(NamedEverywhere, std::size(NamedEverywhere), level);
        for (int level : {0, 1})
            pass(NamedByCharacter, std::size(NamedByCharacter), level);
        for (const auto &[key, code] : ByPosition) {
            // The plus, minus, comma and full-stop codes mean what the key
            // types, never where it sits.
            const bool namedEverywhere = code >= 187 && code <= 190;
            if (codes[key] == 0 && isSymbolKey(key) && !namedEverywhere && !taken[code])
                codes[key] = code;
        }
        return codes;
    }
};

// The layout as last read, with its codes; read again only when the server
// says the keyboard, its map or its group changed.
struct KnownLayout {
    Layout layout;
    std::array<int, Layout::Keys> codes{};
    bool current = false;
    int reads = 0;
};

KnownLayout &known()
{
    static KnownLayout k;
    return k;
}

// The byte of an XKB state notice that holds the effective group (after
// type, XKB type, sequence, time, device and four modifier bytes).
constexpr int StateNoticeGroupByte = 13;

// Listens on Qt's own connection for the XKB notices that change what a key
// types: a new keyboard, a new map, another group. Qt asks the server for
// them for its own key handling; we ask as well, so as not to depend on it.
class LayoutNotices : public QObject, public QAbstractNativeEventFilter {
public:
    // Goes with the application, which it listens to.
    explicit LayoutNotices(int eventBase) : QObject(qGuiApp), m_eventBase(eventBase)
    {
        qGuiApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const std::uint8_t *>(message);
        if ((event[0] & 0x7f) != m_eventBase)
            return false;
        KnownLayout &k = known();
        switch (event[1]) {
        case XkbNewKeyboardNotify:
        case XkbMapNotify:
            k.current = false;
            break;
        case XkbStateNotify:
            if (event[StateNoticeGroupByte] != k.layout.group)
                k.current = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    int m_eventBase;
};

// Starts listening once for the application, on the first key; false when
// the server has no XKB.
bool listening(Display *d)
{
    static QPointer<LayoutNotices> notices;
    static bool noXkb = false;
    if (notices || noXkb)
        return notices;
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(d, &opcode, &eventBase, &errorBase, &major, &minor)) {
        noXkb = true;
        return false;
    }
    constexpr unsigned long selected =
        XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbStateNotifyMask;
    XkbSelectEvents(d, XkbUseCoreKbd, selected, selected);
    XFlush(d);
    notices = new LayoutNotices(eventBase);
    // What was read before may be another application's.
    known().current = false;
    return true;
}

} // namespace

namespace X11KeyLayout {

std::optional<int> codeOf(unsigned keycode)
{
    // The digit row keeps its digits whatever it types without Shift.
    if (keycode >= FirstDigitKey && keycode < FirstDigitKey + 10)
        return keycode == FirstDigitKey + 9 ? 48 : int(49 + keycode - FirstDigitKey);
    Display *d = display();
    if (!d || keycode >= Layout::Keys || !listening(d))
        return std::nullopt;
    KnownLayout &k = known();
    if (!k.current) {
        k.layout = Layout();
        if (!k.layout.read(d))
            return std::nullopt;
        k.codes = k.layout.symbolCodes();
        k.current = true;
        ++k.reads;
    }
    const char32_t unshifted = k.layout.characters[keycode][0];
    if (isAsciiLetter(unshifted))
        return int(unshifted & ~char32_t(0x20)); // the capital's code
    if (!k.layout.isSymbolKey(keycode))
        return std::nullopt;
    return k.codes[keycode];
}

int reads()
{
    return known().reads;
}

void forget()
{
    known().current = false;
}

} // namespace X11KeyLayout

#else

namespace X11KeyLayout {

std::optional<int> codeOf(unsigned)
{
    return std::nullopt;
}

int reads()
{
    return 0;
}

void forget() {}

} // namespace X11KeyLayout

#endif
