#include "SettingsStore.h"

#include "NumberText.h"

#include <QDir>
#include <array>
#include <variant>

namespace {

enum class Form { Strict, Lenient };

struct Field {
    const char16_t *section;
    const char16_t *key;
    std::variant<std::int32_t SettingsRecord::*, std::int16_t SettingsRecord::*,
                 QString SettingsRecord::*>
        member;
    Form form = Form::Strict;
};

using R = SettingsRecord;
constexpr const char16_t *Color = u"ColorSettings";
constexpr const char16_t *Keys = u"KeySettings";
constexpr const char16_t *Text = u"TextSettings";
constexpr const char16_t *Pic = u"PicSettings";

// In the order in which the load reads them.
const std::array<Field, 32> LoadOrder = {{
    {Color, u"TimeColor", &R::TimeColor},
    {Color, u"LEDBack", &R::LEDBack},
    {Color, u"ScoreColor", &R::ScoreColor},
    {Color, u"PeriodColor", &R::PeriodColor},
    {Color, u"FormBack", &R::FormBack},
    {Color, u"LEDSelected", &R::LEDSelected},
    {Color, u"BorderColor", &R::BorderColor},
    {Color, u"HomeColor", &R::HomeColor},
    {Color, u"VisitorColor", &R::VisitorColor},
    {Color, u"LEDSelectedWidth", &R::LEDSelectedWidth},
    {Keys, u"StartStopJamClockKey", &R::StartStopJamClockKey},
    {Keys, u"ResetJamClockKey", &R::ResetJamClockKey},
    {Keys, u"StartStopPeriodClockKey", &R::StartStopPeriodClockKey},
    {Keys, u"ResetPeriodClockKey", &R::ResetPeriodClockKey},
    {Keys, u"ClockSwitchKey", &R::ClockSwitchKey},
    {Keys, u"SepTimeKey", &R::SepTimeKey},
    {Keys, u"ClearKey", &R::ClearKey},
    {Keys, u"BuzzerKey", &R::BuzzerKey},
    {Keys, u"PeriodEndSoundKey", &R::PeriodEndSoundKey},
    {Keys, u"PenaltyIncrementSecKey", &R::PenaltyIncrementSecKey},
    {Keys, u"BuzzerFile", &R::BuzzerFile},
    {Keys, u"PeriodEndSoundFile", &R::PeriodEndSoundFile},
    {Keys, u"SuppressPeriodSound", &R::SuppressPeriodSound, Form::Lenient},
    {Keys, u"PenaltyIncrementSec", &R::PenaltyIncrementSec},
    {Keys, u"NumLockForce", &R::NumLockForce},
    {Text, u"TitleText", &R::TitleText},
    {Text, u"HomeText", &R::HomeText},
    {Text, u"VisitorText", &R::VisitorText},
    {Pic, u"HomePic", &R::HomePic},
    {Pic, u"VisitorPic", &R::VisitorPic},
    {Pic, u"BoardPic", &R::BoardPic},
    {Pic, u"LEDType", &R::LEDType},
}};

// In the order in which the save writes them.
const std::array<const char16_t *, 32> SaveOrder = {{
    u"TimeColor",
    u"LEDBack",
    u"LEDSelected",
    u"ScoreColor",
    u"PeriodColor",
    u"FormBack",
    u"BorderColor",
    u"HomeColor",
    u"VisitorColor",
    u"LEDSelectedWidth",
    u"StartStopJamClockKey",
    u"ResetJamClockKey",
    u"StartStopPeriodClockKey",
    u"ResetPeriodClockKey",
    u"ClockSwitchKey",
    u"SepTimeKey",
    u"ClearKey",
    u"BuzzerKey",
    u"BuzzerFile",
    u"PeriodEndSoundKey",
    u"PenaltyIncrementSecKey",
    u"PenaltyIncrementSec",
    u"PeriodEndSoundFile",
    u"SuppressPeriodSound",
    u"NumLockForce",
    u"TitleText",
    u"HomeText",
    u"VisitorText",
    u"HomePic",
    u"VisitorPic",
    u"BoardPic",
    u"LEDType",
}};

const Field &fieldNamed(const char16_t *key)
{
    for (const Field &field : LoadOrder) {
        if (QStringView(field.key) == QStringView(key))
            return field;
    }
    Q_UNREACHABLE();
}

QString textOf(const SettingsRecord &record, const Field &field)
{
    return std::visit(
        [&](auto member) -> QString {
            if constexpr (std::is_same_v<decltype(member), QString SettingsRecord::*>)
                return record.*member;
            else
                return NumberText::plain(record.*member);
        },
        field.member);
}

// Converts text into the field; on failure the field keeps what it holds,
// which is its default.
void assign(SettingsRecord &record, const Field &field, const QString &text)
{
    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, QString SettingsRecord::*>) {
                record.*member = text;
            } else if constexpr (std::is_same_v<M, std::int32_t SettingsRecord::*>) {
                if (auto v = NumberText::strictInt32(text))
                    record.*member = *v;
            } else {
                auto v = field.form == Form::Lenient ? NumberText::lenientInt16(text)
                                                     : NumberText::strictInt16(text);
                if (v)
                    record.*member = *v;
            }
        },
        field.member);
}

} // namespace

namespace SettingsStore {

SettingsRecord defaults(const QString &programFolder)
{
    SettingsRecord r;
    r.TimeColor = 0x0080FF;
    r.LEDBack = 0x000000;
    r.ScoreColor = 0x0000FF;
    r.PeriodColor = 0x00C000;
    r.FormBack = 0x404040;
    r.LEDSelected = r.FormBack;
    r.BorderColor = 0xFFFFFF;
    r.HomeColor = 0xFFFFFF;
    r.VisitorColor = 0xFFFFFF;
    r.LEDSelectedWidth = 0;
    r.StartStopJamClockKey = 74;
    r.ResetJamClockKey = 82;
    r.StartStopPeriodClockKey = 83;
    r.ResetPeriodClockKey = 84;
    r.ClockSwitchKey = 67;
    r.SepTimeKey = 73;
    r.ClearKey = 46;
    r.BuzzerKey = 66;
    r.PeriodEndSoundKey = 80;
    r.PenaltyIncrementSecKey = 65;
    r.BuzzerFile = programFolder + QDir::separator() + QStringLiteral("buzzer.wav");
    r.PeriodEndSoundFile = programFolder + QDir::separator() + QStringLiteral("periodendsound.wav");
    r.SuppressPeriodSound = 0;
    r.PenaltyIncrementSec = 90;
    r.NumLockForce = 0;
    r.TitleText = QStringLiteral("Home");
    r.HomeText = QStringLiteral("Home");
    r.VisitorText = QStringLiteral("Visitor");
    r.LEDType = 0;
    return r;
}

SettingsRecord load(SettingsBackend &backend, const QString &programFolder)
{
    SettingsRecord record = defaults(programFolder);
    for (const Field &field : LoadOrder) {
        // A missing selection colour follows the window colour just loaded.
        if (field.member == decltype(field.member)(&R::LEDSelected))
            record.LEDSelected = record.FormBack;
        const QString defaultText = textOf(record, field);
        const QString text = backend.getSetting(Application, QString::fromUtf16(field.section),
                                                QString::fromUtf16(field.key), defaultText);
        assign(record, field, text);
    }
    return record;
}

bool save(SettingsBackend &backend, const SettingsRecord &record)
{
    for (const char16_t *key : SaveOrder) {
        const Field &field = fieldNamed(key);
        backend.saveSetting(Application, QString::fromUtf16(field.section),
                            QString::fromUtf16(field.key), textOf(record, field));
    }
    backend.saveSetting(Application, QString::fromUtf16(Keys), QStringLiteral("IsKeyCode"),
                        QStringLiteral("Yes"));
    return backend.flush();
}

} // namespace SettingsStore
