#include "db/eksport.h"

#include "db/connection.h"
#include "db/kvorum.h"
#include "db/zaprosy/eksport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace eksport {

namespace {

const char *const kVid[] = {"open", "secret", "roll-call"};
const char *const kOtvet[] = {"", "for", "against", "abstained"};

QJsonValue chislo(const QVariant &v)
{
    return v.isNull() ? QJsonValue() : QJsonValue(v.toLongLong());
}

QJsonValue tekst(const QVariant &v)
{
    return v.isNull() ? QJsonValue() : QJsonValue(v.toString());
}

// A CSV field: quoted when it holds a separator, a quote or a line break; quotes doubled.
QString csv(const QVariant &v)
{
    if (v.isNull())
        return QString();
    QString s = v.toString();
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n'))
        || s.contains(QLatin1Char('\r')))
        s = QLatin1Char('"') + s.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return s;
}

}  // namespace

bool golosovania(DbConnection &db, int zasedanie, Format format, QByteArray *out, QString *oshibka)
{
    auto neudacha = [&] {
        *oshibka = db.firstErrorText();
        return false;
    };
    if (zasedanie <= 0) {
        bool ok = false;
        const QVariant id = db.scalar(zaprosy::eksport::zasedanieSGolosovaniem(), &ok);
        if (!ok)
            return neudacha();
        // Before any vote (a new hall, the demo) the newest meeting, with no votes, is the answer.
        const QVariant novoe = id.isNull() ? db.scalar(zaprosy::eksport::posledneeZasedanie(), &ok) : id;
        if (!ok)
            return neudacha();
        if (novoe.isNull()) {
            *oshibka = QStringLiteral("There is no meeting.");
            return false;
        }
        zasedanie = novoe.toInt();
    }
    ResultSet m;
    if (!db.query(zaprosy::eksport::zasedanie(zasedanie), &m))
        return neudacha();
    if (m.isEmpty()) {
        *oshibka = QStringLiteral("There is no meeting %1.").arg(zasedanie);
        return false;
    }
    bool ok = false;
    const QString kvorumZnachenie = db.scalar(kvorum::zaprosKvoruma(), &ok).toString();
    if (!ok)
        return neudacha();

    ResultSet v;
    if (!db.query(zaprosy::eksport::golosovania(zasedanie), &v))
        return neudacha();

    QJsonArray votes;
    QStringList lines{QStringLiteral("record,meeting,vote,start,item_id,item,kind,type,rule,decision_rule,elected,"
                                     "present,needed,for,against,abstained,voted,decision,quorum,deputy_id,deputy,"
                                     "seat,choice")};
    for (int r = 0; r < v.rowCount(); ++r) {
        const int id = v.value(r, QStringLiteral("id")).toInt();
        const int vid = v.value(r, QStringLiteral("vid")).toInt();
        const qint64 za = v.value(r, QStringLiteral("za")).toLongLong();
        const qint64 protiv = v.value(r, QStringLiteral("protiv")).toLongLong();
        const qint64 vosd = v.value(r, QStringLiteral("vosd")).toLongLong();
        const QVariant nuznoZnachenie = v.value(r, QStringLiteral("nuzno"));
        const qint64 nuzno = nuznoZnachenie.toLongLong();
        // The protocol's rule: taken when the "for" ballots reach the number needed; a vote
        // without that number decides nothing.
        const bool opredeleno = !nuznoZnachenie.isNull();
        const bool prinyato = opredeleno && za >= nuzno;
        const QString verdikt =
            kvorum::verdikt(kvorumZnachenie, v.value(r, QStringLiteral("prisutstvuet")).toInt());
        const QString kind = vid >= 0 && vid <= 2 ? QString::fromLatin1(kVid[vid]) : QString::number(vid);
        const QString type = v.value(r, QStringLiteral("tip")).toInt() == 0 ? QStringLiteral("decisive")
                                                                             : QStringLiteral("advisory");
        const QString decision = !opredeleno ? QStringLiteral("undetermined")
                                 : prinyato  ? QStringLiteral("adopted")
                                             : QStringLiteral("rejected");
        const QString quorum = verdikt.isEmpty() ? QString()
                               : verdikt == kvorum::Est() ? QStringLiteral("present")
                                                          : QStringLiteral("absent");

        // Choices by name only where the vote was not secret: the secret kind never reads them.
        ResultSet b;
        const bool imena = vid != 1;
        if (imena && !db.query(zaprosy::eksport::byulleteni(id), &b))
            return neudacha();

        QJsonObject o;
        o.insert(QStringLiteral("id"), id);
        o.insert(QStringLiteral("start"), tekst(v.value(r, QStringLiteral("data"))));
        o.insert(QStringLiteral("item"), QJsonObject{{QStringLiteral("id"), chislo(v.value(r, QStringLiteral("id_pov")))},
                                                     {QStringLiteral("title"), tekst(v.value(r, QStringLiteral("pov")))}});
        o.insert(QStringLiteral("kind"), kind);
        o.insert(QStringLiteral("type"), type);
        o.insert(QStringLiteral("rule"), tekst(v.value(r, QStringLiteral("regim_polsov"))));
        o.insert(QStringLiteral("decisionRule"), tekst(v.value(r, QStringLiteral("regim"))));
        o.insert(QStringLiteral("elected"), chislo(v.value(r, QStringLiteral("isbrano"))));
        o.insert(QStringLiteral("present"), chislo(v.value(r, QStringLiteral("prisutstvuet"))));
        o.insert(QStringLiteral("needed"), chislo(v.value(r, QStringLiteral("nuzno"))));
        o.insert(QStringLiteral("totals"), QJsonObject{{QStringLiteral("for"), za},
                                                       {QStringLiteral("against"), protiv},
                                                       {QStringLiteral("abstained"), vosd},
                                                       {QStringLiteral("voted"), za + protiv + vosd}});
        o.insert(QStringLiteral("decision"), decision);
        o.insert(QStringLiteral("quorum"), quorum.isEmpty() ? QJsonValue() : QJsonValue(quorum));
        QJsonArray ballots;
        const QStringList golos{QStringLiteral("vote"), QString::number(zasedanie), QString::number(id),
                                csv(v.value(r, QStringLiteral("data"))), csv(v.value(r, QStringLiteral("id_pov"))),
                                csv(v.value(r, QStringLiteral("pov"))), kind, type,
                                csv(v.value(r, QStringLiteral("regim_polsov"))), csv(v.value(r, QStringLiteral("regim"))),
                                csv(v.value(r, QStringLiteral("isbrano"))), csv(v.value(r, QStringLiteral("prisutstvuet"))),
                                csv(v.value(r, QStringLiteral("nuzno"))), QString::number(za), QString::number(protiv),
                                QString::number(vosd), QString::number(za + protiv + vosd), decision, quorum};
        lines << (golos + QStringList{QString(), QString(), QString(), QString()}).join(QLatin1Char(','));
        for (int i = 0; i < b.rowCount(); ++i) {
            const int kod = b.value(i, QStringLiteral("result")).toInt();
            const QString choice = kod >= 1 && kod <= 3 ? QString::fromLatin1(kOtvet[kod]) : QString::number(kod);
            ballots.append(QJsonObject{{QStringLiteral("deputyId"), chislo(b.value(i, QStringLiteral("id_deputat")))},
                                       {QStringLiteral("deputy"), tekst(b.value(i, QStringLiteral("fio")))},
                                       {QStringLiteral("seat"), tekst(b.value(i, QStringLiteral("nomer")))},
                                       {QStringLiteral("choice"), choice}});
            QStringList row = golos;
            row[0] = QStringLiteral("ballot");
            row << csv(b.value(i, QStringLiteral("id_deputat"))) << csv(b.value(i, QStringLiteral("fio")))
                << csv(b.value(i, QStringLiteral("nomer"))) << choice;
            lines << row.join(QLatin1Char(','));
        }
        o.insert(QStringLiteral("ballots"), imena ? QJsonValue(ballots) : QJsonValue());
        votes.append(o);
    }

    if (format == Format::Csv) {
        *out = (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
        return true;
    }
    QJsonObject doc;
    doc.insert(QStringLiteral("format"), QStringLiteral("voter-votes/1"));
    doc.insert(QStringLiteral("meeting"),
               QJsonObject{{QStringLiteral("id"), zasedanie},
                           {QStringLiteral("date"), tekst(m.value(0, QStringLiteral("data")))},
                           {QStringLiteral("title"), tekst(m.value(0, QStringLiteral("opisanie")))},
                           {QStringLiteral("opened"), tekst(m.value(0, QStringLiteral("start")))},
                           {QStringLiteral("closed"), tekst(m.value(0, QStringLiteral("stop")))},
                           {QStringLiteral("quorumConstant"), QJsonValue(kvorumZnachenie)}});
    doc.insert(QStringLiteral("votes"), votes);
    *out = QJsonDocument(doc).toJson(QJsonDocument::Indented);
    return true;
}

}  // namespace eksport
