// Settings as a store may hold them: any text for any key.
#include "NumberText.h"
#include "SettingsBackend.h"
#include "SettingsStore.h"

#include <QList>
#include <cstddef>
#include <cstdint>

namespace {

// Hands out slices of the input as the stored texts, key after key.
class SlicedStore : public SettingsBackend {
public:
    QList<QByteArray> texts;
    qsizetype next = 0;
    QString getSetting(const QString &, const QString &, const QString &,
                       const QString &defaultText) override
    {
        if (next >= texts.size())
            return defaultText;
        const QByteArray &t = texts[next++];
        return t == "-" ? defaultText : QString::fromUtf8(t);
    }
    void saveSetting(const QString &, const QString &, const QString &, const QString &) override {}
    bool flush() override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    (void)NumberText::strictInt32(text);
    (void)NumberText::strictInt16(text);
    if (const auto lenient = NumberText::lenientInt16(text);
        lenient && text.trimmed().isEmpty() && *lenient != 0)
        __builtin_trap();
    SlicedStore store;
    store.texts = bytes.split('\n');
    const SettingsRecord r = SettingsStore::load(store, QStringLiteral("/p"));
    (void)r;
    return 0;
}
