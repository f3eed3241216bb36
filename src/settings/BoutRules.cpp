#include "BoutRules.h"

#include "NumberText.h"
#include "SettingsBackend.h"
#include "SettingsStore.h"

#include <algorithm>
#include <array>

namespace {

using R = BoutRulesRecord;

struct Field {
    const char16_t *key;
    std::int16_t R::*member;
};

constexpr const char16_t *Section = u"BoutRules";

const std::array<Field, 15> Fields = {{
    {u"Show", &R::Show},
    {u"TeamTimeouts", &R::TeamTimeouts},
    {u"TeamReviews", &R::TeamReviews},
    {u"HomeTimeoutKey", &R::HomeTimeoutKey},
    {u"VisitorTimeoutKey", &R::VisitorTimeoutKey},
    {u"OfficialTimeoutKey", &R::OfficialTimeoutKey},
    {u"HomeReviewKey", &R::HomeReviewKey},
    {u"VisitorReviewKey", &R::VisitorReviewKey},
    {u"ReviewRetainedKey", &R::ReviewRetainedKey},
    {u"HomeLeadKey", &R::HomeLeadKey},
    {u"VisitorLeadKey", &R::VisitorLeadKey},
    {u"FinalKey", &R::FinalKey},
    {u"RunByClock", &R::RunByClock},
    {u"Periods", &R::Periods},
    {u"IntermissionSeconds", &R::IntermissionSeconds},
}};
constexpr int FirstKey = 3;

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

} // namespace

std::int16_t BoutRulesRecord::key(int index) const
{
    return this->*Fields[size_t(FirstKey + index)].member;
}

std::int16_t &BoutRulesRecord::key(int index)
{
    return this->*Fields[size_t(FirstKey + index)].member;
}

namespace BoutRulesStore {

BoutRulesRecord load(SettingsBackend &backend)
{
    BoutRulesRecord r;
    for (const Field &f : Fields) {
        const QString stored = backend.getSetting(SettingsStore::Application, text(Section),
                                                  text(f.key), NumberText::plain(r.*f.member));
        if (auto v = NumberText::strictInt16(stored))
            r.*f.member = *v;
    }
    r.Show = r.Show != 0 ? 1 : 0;
    r.TeamTimeouts = std::clamp<std::int16_t>(r.TeamTimeouts, 0, R::MaxCount);
    r.TeamReviews = std::clamp<std::int16_t>(r.TeamReviews, 0, R::MaxCount);
    r.RunByClock = r.RunByClock != 0 ? 1 : 0;
    r.Periods = std::clamp<std::int16_t>(r.Periods, 1, R::MaxPeriods);
    r.IntermissionSeconds =
        std::clamp<std::int16_t>(r.IntermissionSeconds, 0, R::MaxIntermissionSeconds);
    return r;
}

void save(SettingsBackend &backend, const BoutRulesRecord &record)
{
    // A text no stored value can be: whether the section was ever written.
    const QString never = QStringLiteral("\n");
    const bool used = backend.getSetting(SettingsStore::Application, text(Section),
                                         QStringLiteral("Show"), never) != never;
    if (!used && record == BoutRulesRecord{})
        return;
    for (const Field &f : Fields)
        backend.saveSetting(SettingsStore::Application, text(Section), text(f.key),
                            NumberText::plain(record.*f.member));
}

} // namespace BoutRulesStore
