#include "settingsIni.h"

#include <QTextCodec>

namespace {

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

bool validKey(const QString &key)
{
    if (key.isEmpty())
        return false;
    for (QChar c : key)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('.') && c != QLatin1Char('-')
            && c != QLatin1Char(' '))
            return false;
    return true;
}

bool validSection(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (isControl(c) || c == QLatin1Char('[') || c == QLatin1Char(']'))
            return false;
    return true;
}

// The value behind '=' (blanks already dropped); false when its quotes are broken.
bool unquote(const QString &raw, QString &value)
{
    if (!raw.startsWith(QLatin1Char('"'))) {
        for (QChar c : raw)
            if (isControl(c) && c != QLatin1Char('\t'))
                return false;
        value = raw;
        return true;
    }
    value.clear();
    for (int i = 1; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('"'))
            return i == raw.size() - 1; // nothing may follow the closing quote
        if (isControl(c))
            return false;
        if (c != QLatin1Char('\\')) {
            value += c;
            continue;
        }
        if (++i >= raw.size())
            return false;
        switch (raw.at(i).unicode()) {
        case '\\': value += QLatin1Char('\\'); break;
        case '"': value += QLatin1Char('"'); break;
        case 'n': value += QLatin1Char('\n'); break;
        case 'r': value += QLatin1Char('\r'); break;
        case 't': value += QLatin1Char('\t'); break;
        default: return false;
        }
    }
    return false; // no closing quote
}

QString quoted(const QString &value)
{
    bool plain = value == value.trimmed() && !value.startsWith(QLatin1Char('"'));
    for (QChar c : value)
        plain = plain && !isControl(c);
    if (plain)
        return value;
    QString text = QStringLiteral("\"");
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': text += QLatin1String("\\\\"); break;
        case '"': text += QLatin1String("\\\""); break;
        case '\n': text += QLatin1String("\\n"); break;
        case '\r': text += QLatin1String("\\r"); break;
        case '\t': text += QLatin1String("\\t"); break;
        default:
            // Other control characters have no escape: a file name never
            // holds them, and the reader refuses them.
            if (!isControl(c))
                text += c;
        }
    }
    return text + QLatin1Char('"');
}

} // namespace

QString settingsIniFold(const QString &section, const QString &key)
{
    return section.toCaseFolded() + QLatin1Char('\n') + key.toCaseFolded();
}

const settingsIniValue *settingsIniFile::find(const QString &section, const QString &key) const
{
    const auto at = index.constFind(settingsIniFold(section, key));
    return at == index.constEnd() ? nullptr : &values[at.value()];
}

settingsIniFile settingsParseIni(const QByteArray &bytes)
{
    settingsIniFile file;
    if (bytes.size() > settingsIniMaxBytes) {
        file.error = QStringLiteral("it is larger than %1 MB, which no settings file is")
                         .arg(settingsIniMaxBytes / (1024 * 1024));
        return file;
    }
    if (bytes.contains('\0')) {
        file.error = QStringLiteral("it holds NUL bytes: it is not a text file");
        return file;
    }
    QTextCodec::ConverterState state;
    QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0) {
        file.error = QStringLiteral("it is not UTF-8 text");
        return file;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    const QStringList lines = text.split(QLatin1Char('\n'));
    QString section;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        const int number = i + 1;
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            if (!trimmed.endsWith(QLatin1Char(']')) || trimmed.size() < 2 || !validSection(name)) {
                file.error = QStringLiteral("line %1 is not a section header of the form [Name]").arg(number);
                return file;
            }
            section = name;
            inSection = true;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            file.error = QStringLiteral("line %1 is neither a [section] nor a Key=value line").arg(number);
            return file;
        }
        const QString key = line.left(equals).trimmed();
        if (!validKey(key)) {
            file.error = QStringLiteral("line %1 has no valid key before '=' (letters, digits, blanks, '_', '.', '-')")
                             .arg(number);
            return file;
        }
        if (!inSection) {
            file.error = QStringLiteral("line %1 gives a value before the first [section]").arg(number);
            return file;
        }
        settingsIniValue value;
        if (!unquote(line.mid(equals + 1).trimmed(), value.value)) {
            file.error = QStringLiteral("line %1 has a broken quoted value or a control character").arg(number);
            return file;
        }
        const QString folded = settingsIniFold(section, key);
        const auto earlier = file.index.constFind(folded);
        if (earlier != file.index.constEnd()) {
            file.error = QStringLiteral("line %1 gives %2 of [%3] again (first on line %4)")
                             .arg(number)
                             .arg(key, section)
                             .arg(file.values[earlier.value()].line);
            return file;
        }
        value.section = section;
        value.key = key;
        value.line = number;
        file.index.insert(folded, file.values.size());
        file.values.append(value);
    }
    return file;
}

void settingsIniWriter::comment(const QString &text)
{
    for (const QString &line : text.split(QLatin1Char('\n')))
        bytes += "; " + line.toUtf8() + '\n';
}

void settingsIniWriter::section(const QString &name)
{
    if (!bytes.isEmpty())
        bytes += '\n';
    bytes += '[' + name.toUtf8() + "]\n";
}

void settingsIniWriter::value(const QString &key, const QString &value)
{
    bytes += key.toUtf8() + '=' + quoted(value).toUtf8() + '\n';
}
