#include "db/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

struct IniText {
    QStringList lines;
    QString eol = QStringLiteral("\n");
    bool bom = false;
    bool finalEol = true;
};

IniText load(const QString &path)
{
    IniText t;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return t;
    QByteArray raw = f.readAll();
    if (raw.startsWith("\xEF\xBB\xBF")) {
        t.bom = true;
        raw.remove(0, 3);
    }
    QString text = QString::fromUtf8(raw);
    if (text.contains(QLatin1String("\r\n")))
        t.eol = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.isEmpty())
        return t;
    t.finalEol = text.endsWith(QLatin1Char('\n'));
    if (t.finalEol)
        text.chop(1);
    t.lines = text.split(QLatin1Char('\n'));
    return t;
}

// "[name]" -> name, or a null string when the line is not a section header.
QString sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return QString();
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// Splits "key=value"; false for blank lines, comments and lines without '='.
bool keyValue(const QString &line, QString *key, QString *value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t))
        return false;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString settingsPathFor(const QString &exePath)
{
    const int at = exePath.indexOf(QLatin1String(".exe"), 0, Qt::CaseSensitive);
    if (at < 0)
        return exePath + QStringLiteral(".ini");
    QString path = exePath;
    path.replace(at, 4, QStringLiteral(".ini"));
    return path;
}

QString iniRead(const QString &path, const QString &section, const QString &key, const QString &defaultValue)
{
    const IniText t = load(path);
    bool inSection = false;
    for (const QString &line : t.lines) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = same(name, section.trimmed());
            continue;
        }
        QString k, v;
        if (inSection && keyValue(line, &k, &v) && same(k, key.trimmed()))
            return v;
    }
    return defaultValue;
}

bool iniWrite(const QString &path, const QString &section, const QString &key, const QString &value)
{
    const QString sec = section.trimmed();
    const QString k = key.trimmed();
    auto hasBreak = [](const QString &s) {
        return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
    };
    if (sec.isEmpty() || k.isEmpty() || hasBreak(section) || hasBreak(key) || hasBreak(value)
        || sec.contains(QLatin1Char(']')) || k.contains(QLatin1Char('=')) || k.startsWith(QLatin1Char('['))
        || isComment(k))
        return false;

    IniText t = load(path);
    const QString entry = k + QLatin1Char('=') + value.trimmed();
    int sectionLine = -1;  // header of the wanted section
    int lastEntry = -1;    // last non-blank line inside it
    bool inSection = false;
    bool done = false;
    for (int i = 0; i < t.lines.size() && !done; ++i) {
        const QString name = sectionName(t.lines[i]);
        if (!name.isNull()) {
            if (inSection)
                break;  // the section ended without the key
            inSection = same(name, sec);
            if (inSection)
                sectionLine = lastEntry = i;
            continue;
        }
        if (!inSection)
            continue;
        QString existing;
        if (keyValue(t.lines[i], &existing, nullptr) && same(existing, k)) {
            t.lines[i] = entry;
            done = true;
        } else if (!t.lines[i].trimmed().isEmpty()) {
            lastEntry = i;
        }
    }
    if (!done) {
        if (sectionLine >= 0) {
            t.lines.insert(lastEntry + 1, entry);
        } else {
            if (!t.lines.isEmpty() && !t.lines.last().trimmed().isEmpty())
                t.lines.append(QString());
            t.lines.append(QLatin1Char('[') + sec + QLatin1Char(']'));
            t.lines.append(entry);
        }
    }

    QByteArray out;
    if (t.bom)
        out = "\xEF\xBB\xBF";
    out += t.lines.join(t.eol).toUtf8();
    if (t.finalEol || !done)
        out += t.eol.toUtf8();
    return replaceFileContents(path, out);
}

bool replaceFileContents(const QString &path, const QByteArray &content)
{
    {
        QFile current(path);
        if (current.exists() && current.size() == content.size() && current.open(QIODevice::ReadOnly)
            && current.readAll() == content)
            return true;
    }
    // Written to a side file and moved into place: a crash never leaves half a file. The
    // flush is checked here because a failure inside commit() would go unnoticed and an
    // empty file would replace the real one.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(content) != content.size() || !f.flush() || f.error() != QFileDevice::NoError
        || f.size() != content.size()) {
        f.cancelWriting();
        f.commit();  // only removes the side file
        return false;
    }
    if (!f.commit())
        return false;
    return QFileInfo(path).size() == content.size();
}
