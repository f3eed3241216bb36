// Typed times and numbers: any sequence of keys, on any display.
#include "Digmar.h"
#include "modCount.h"
#include "modShowDigits.h"

#include <QApplication>
#include <cstddef>
#include <cstdint>

namespace {

Digmar *score = nullptr;
Digmar *period = nullptr;
QObject *jam = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    score = new Digmar;
    score->setObjectName(QStringLiteral("nledHomeScore"));
    score->setMax(999);
    period = new Digmar;
    period->setObjectName(QStringLiteral("nledPeriod"));
    jam = new QObject;
    jam->setObjectName(QStringLiteral("tledJam"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The text as typed, whole.
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const FixedTime parsed = modCount::ParseTypedTime(text);
    if (parsed != modCount::NoTime &&
        (parsed < FixedTime() || parsed > FixedTime::fromTicks(60399000)))
        __builtin_trap();
    // The bytes as keys: the top bits pick the display, the rest the character.
    for (std::size_t i = 0; i < size; ++i) {
        const int ch = data[i] & 0x3F ? (data[i] & 0x7F) : (data[i] & 0x40 ? 13 : 0);
        switch (data[i] >> 6) {
        case 0: {
            const FixedTime t = modCount::TimeEntryKey(jam, ch, 599);
            if (t != modCount::NoTime && (t < FixedTime() || t > FixedTime::fromSeconds(599)))
                __builtin_trap();
            break;
        }
        case 1:
            modShowDigits::NumberEntryKey(period, ch, -1, 9);
            break;
        default:
            modShowDigits::NumberEntryKey(score, ch, -1, 999);
            break;
        }
        const int value = score->caption().toInt();
        if (value < -1 || value > 999 || period->caption().toInt() < -1 ||
            period->caption().toInt() > 9)
            __builtin_trap();
    }
    return 0;
}
