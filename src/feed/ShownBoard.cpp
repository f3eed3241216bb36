#include "ShownBoard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray place(const QRectF &r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

QJsonArray texts(const std::array<QString, 2> &pair)
{
    return {pair[0], pair[1]};
}

} // namespace

bool ShownBoard::sameShown(const ShownBoard &o) const
{
    return title == o.title && homeName == o.homeName && visitorName == o.visitorName &&
           homeScore == o.homeScore && visitorScore == o.visitorScore &&
           periodNumber == o.periodNumber && periodClock == o.periodClock &&
           jamClock == o.jamClock && penaltiesHome == o.penaltiesHome &&
           penaltiesVisitor == o.penaltiesVisitor && periodRunning == o.periodRunning &&
           jamRunning == o.jamRunning && timeOfDay == o.timeOfDay && rulesShown == o.rulesShown &&
           jamNumber == o.jamNumber && timeoutsLeft == o.timeoutsLeft &&
           reviewsLeft == o.reviewsLeft && status == o.status && phase == o.phase &&
           lineupClock == o.lineupClock && timeoutClock == o.timeoutClock &&
           intermissionClock == o.intermissionClock && lead == o.lead && jamPoints == o.jamPoints &&
           colors == o.colors && ledType == o.ledType && aspect == o.aspect &&
           displays == o.displays && labels == o.labels && frames == o.frames && dots == o.dots &&
           pictures == o.pictures;
}

QByteArray ShownBoard::toJson(quint64 seq) const
{
    return QJsonDocument(toJsonObject(seq)).toJson(QJsonDocument::Compact);
}

QJsonObject ShownBoard::toJsonObject(quint64 seq) const
{
    QJsonObject colorValues;
    for (const auto &[name, value] : colors)
        colorValues.insert(name, value);
    QJsonArray displayList;
    for (const Display &d : displays) {
        displayList.append(QJsonObject{{QStringLiteral("name"), d.name},
                                       {QStringLiteral("cells"), d.cells},
                                       {QStringLiteral("lit"), d.lit},
                                       {QStringLiteral("clock"), d.clock},
                                       {QStringLiteral("place"), place(d.place)}});
    }
    QJsonArray labelList;
    for (const Label &l : labels) {
        labelList.append(QJsonObject{{QStringLiteral("name"), l.name},
                                     {QStringLiteral("text"), l.text},
                                     {QStringLiteral("color"), l.color},
                                     {QStringLiteral("fontHeight"), l.fontHeight},
                                     {QStringLiteral("place"), place(l.place)}});
    }
    QJsonArray frameList;
    for (const Frame &f : frames) {
        frameList.append(QJsonObject{{QStringLiteral("name"), f.name},
                                     {QStringLiteral("color"), f.color},
                                     {QStringLiteral("width"), f.width},
                                     {QStringLiteral("place"), place(f.place)}});
    }
    QJsonArray dotsList;
    for (const Dots &d : dots) {
        dotsList.append(QJsonObject{{QStringLiteral("name"), d.name},
                                    {QStringLiteral("team"), d.team},
                                    {QStringLiteral("count"), d.count},
                                    {QStringLiteral("lit"), d.lit},
                                    {QStringLiteral("place"), place(d.place)}});
    }
    QJsonObject pictureList;
    for (const Picture &p : pictures) {
        // The address changes with the file, so a browser fetches it again.
        const QString url =
            p.path.isEmpty()
                ? QString()
                : QStringLiteral("/pictures/%1?v=%2").arg(p.which).arg(qHash(p.path), 0, 16);
        pictureList.insert(p.which, QJsonObject{{QStringLiteral("url"), url},
                                                {QStringLiteral("place"), place(p.place)}});
    }
    QJsonObject o{
        {QStringLiteral("seq"), qint64(seq)},
        {QStringLiteral("title"), title},
        {QStringLiteral("home"),
         QJsonObject{{QStringLiteral("name"), homeName}, {QStringLiteral("score"), homeScore}}},
        {QStringLiteral("visitor"), QJsonObject{{QStringLiteral("name"), visitorName},
                                                {QStringLiteral("score"), visitorScore}}},
        {QStringLiteral("period"), QJsonObject{{QStringLiteral("number"), periodNumber},
                                               {QStringLiteral("clock"), periodClock},
                                               {QStringLiteral("running"), periodRunning},
                                               {QStringLiteral("timeOfDay"), timeOfDay}}},
        {QStringLiteral("jam"),
         QJsonObject{{QStringLiteral("clock"), jamClock}, {QStringLiteral("running"), jamRunning}}},
        {QStringLiteral("penalties"),
         QJsonObject{{QStringLiteral("home"), texts(penaltiesHome)},
                     {QStringLiteral("visitor"), texts(penaltiesVisitor)}}},
        {QStringLiteral("colors"), colorValues},
        {QStringLiteral("ledType"), ledType},
        {QStringLiteral("layout"), QJsonObject{{QStringLiteral("aspect"), aspect},
                                               {QStringLiteral("displays"), displayList},
                                               {QStringLiteral("labels"), labelList},
                                               {QStringLiteral("frames"), frameList},
                                               {QStringLiteral("pictures"), pictureList}}},
        {QStringLiteral("bout"), bout.toJsonObject()},
    };
    if (rulesShown) {
        const auto withRules = [this, &o](const char *team, int t) {
            QJsonObject side = o.value(QLatin1String(team)).toObject();
            side.insert(QStringLiteral("timeouts"), timeoutsLeft[size_t(t)]);
            side.insert(QStringLiteral("reviews"), reviewsLeft[size_t(t)]);
            o.insert(QLatin1String(team), side);
        };
        withRules("home", 0);
        withRules("visitor", 1);
        QJsonObject jam = o.value(QStringLiteral("jam")).toObject();
        jam.insert(QStringLiteral("number"), jamNumber);
        o.insert(QStringLiteral("jam"), jam);
        QJsonObject layout = o.value(QStringLiteral("layout")).toObject();
        layout.insert(QStringLiteral("dots"), dotsList);
        o.insert(QStringLiteral("layout"), layout);
        o.insert(QStringLiteral("status"), status);
    }
    if (!phase.isEmpty()) {
        for (int t = 0; t < 2; ++t) {
            const QString team = t == 0 ? QStringLiteral("home") : QStringLiteral("visitor");
            QJsonObject side = o.value(team).toObject();
            side.insert(QStringLiteral("lead"), lead[size_t(t)]);
            side.insert(QStringLiteral("jamPoints"), jamPoints[size_t(t)]);
            o.insert(team, side);
        }
        o.insert(QStringLiteral("phase"), phase);
        o.insert(QStringLiteral("lineup"), QJsonObject{{QStringLiteral("clock"), lineupClock}});
        o.insert(QStringLiteral("timeout"), QJsonObject{{QStringLiteral("clock"), timeoutClock}});
        o.insert(QStringLiteral("intermission"),
                 QJsonObject{{QStringLiteral("clock"), intermissionClock}});
    }
    return o;
}
