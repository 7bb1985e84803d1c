#include "calibration/IniText.h"

#include <algorithm>

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

#ifdef Q_OS_WIN
const QByteArray kPlatformLineEnd("\r\n");
#else
const QByteArray kPlatformLineEnd("\n");
#endif

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || isLineEnd(c);
}

// A group or key name as QSettings reads it: '\' is '/', %XX and %UXXXX are the characters of
// those hexadecimal numbers, any other byte is the Latin-1 character of its value.
QString unescapedName(const QByteArray &name)
{
    QString result;
    int i = 0;
    while (i < name.size()) {
        const char c = name.at(i);
        if (c == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c == '%' && i + 1 < name.size()) {
            const bool wide = name.at(i + 1) == 'U';
            const int first = wide ? i + 2 : i + 1;
            const int digits = wide ? 4 : 2;
            bool ok = false;
            const int code = first + digits <= name.size() ? name.mid(first, digits).toInt(&ok, 16) : 0;
            if (ok) {
                result += QChar(code);
                i = first + digits;
                continue;
            }
        }
        result += QLatin1Char(c);
        ++i;
    }
    return result;
}

// The group a "[...]" line opens: "General" is the part before any group, "%General" the
// group "General".
QString groupName(const QByteArray &name)
{
    if (qstricmp(name.constData(), "general") == 0)
        return QString();
    if (qstricmp(name.constData(), "%general") == 0)
        return QString::fromLatin1(name.mid(1));
    return unescapedName(name);
}

bool isHexDigit(ushort c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// One entry of a list as the INI writer of QSettings writes a text with the codec UTF-8 (a
// character beyond the basic plane as one UTF-8 sequence).
QByteArray encodedEntry(QString text)
{
    if (text.contains(QChar::Null))
        text = QStringLiteral("@String(") + text + QLatin1Char(')');
    else if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));
    QByteArray out;
    bool quoted = false;
    bool hexFollows = false; // a hexadecimal digit here would be read as part of the escape before it
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (c == ';' || c == ',' || c == '=')
            quoted = true;
        if (hexFollows && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        hexFollows = false;
        switch (c) {
        case 0:
            out += "\\0";
            hexFollows = true;
            break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F) {
                out += "\\x" + QByteArray::number(c, 16);
                hexFollows = true;
            } else if (c < 0x7F) {
                out += char(c);
            } else {
                const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
                out += text.mid(i, pair ? 2 : 1).toUtf8();
                i += pair ? 1 : 0;
            }
        }
    }
    if (quoted || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

// "name=value" of a key.
QByteArray keyLine(const IniText::Key &key)
{
    return key.name.toUtf8() + '=' + IniText::encodedList(key.entries);
}

struct Edit
{
    int from;
    int to;
    QByteArray text;
};

} // namespace

IniText::IniText(const QByteArray &data) : m_data(data)
{
    m_bodyStart = data.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    QString group;
    int pos = m_bodyStart;
    Line line{Line::HoldsKey, 0, 0, -1, QString(), QString()};
    while (nextLine(pos, line)) {
        line.key.clear();
        const char first = data.at(line.start);
        if (first == '[') {
            // Only the line itself is searched, so that lines without ']' cost no more than others.
            const char *lineStart = data.constData() + line.start;
            const char *close = std::find(lineStart, data.constData() + line.end, ']');
            line.kind = close != data.constData() + line.end ? Line::OpensGroup : Line::Broken;
            if (line.kind == Line::OpensGroup)
                group = groupName(data.mid(line.start + 1, int(close - lineStart) - 1).trimmed());
        } else if (first == '#') {
            line.kind = Line::Comment;
        } else if (line.equals < 0) {
            line.kind = Line::Broken;
        } else {
            line.kind = Line::HoldsKey;
            line.key = unescapedName(data.mid(line.start, line.equals - line.start).trimmed());
        }
        line.group = group;
        m_valid = m_valid && line.kind != Line::Broken;
        m_lines.append(line);
    }
}

// The next line from pos on (pos then stands after it); false when only white space and
// comments are left.
bool IniText::nextLine(int &pos, Line &line) const
{
    const int size = m_data.size();
    int i = pos;
    while (i < size && isBlank(m_data.at(i)))
        ++i;
    int start = i;
    int equals = -1;
    bool quoted = false;
    while (i < size) {
        const char c = m_data.at(i);
        if (c == '=') {
            if (!quoted && equals < 0)
                equals = i;
        } else if (isLineEnd(c)) {
            if (i == start)
                ++start;
            else if (!quoted)
                break;
        } else if (c == '\\') {
            if (i + 1 < size) {
                const char escaped = m_data.at(++i);
                // "\r\n" and "\n\r" after a '\' are one line end.
                if (i + 1 < size && isLineEnd(escaped) && isLineEnd(m_data.at(i + 1)) && m_data.at(i + 1) != escaped)
                    ++i;
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == start) {
                while (i < size && !isLineEnd(m_data.at(i)))
                    ++i;
                while (i < size && isBlank(m_data.at(i)))
                    ++i;
                start = i;
                continue;
            }
            if (!quoted)
                break;
        }
        ++i;
    }
    pos = i;
    line.start = start;
    line.end = i;
    line.equals = equals;
    return i > start;
}

// Whether the line holds the key named by its group and name joined with '/'. The two are joined
// only when they are as long as that name (a case-insensitive comparison of texts of different
// lengths never finds them equal), so a long group name is not copied for each key line in it.
bool IniText::names(const Line &line, const QString &name, Qt::CaseSensitivity cs)
{
    if (line.kind != Line::HoldsKey)
        return false;
    if (line.group.isEmpty())
        return line.key.compare(name, cs) == 0;
    if (line.group.size() + 1 + line.key.size() != name.size())
        return false;
    return (line.group + QLatin1Char('/') + line.key).compare(name, cs) == 0;
}

// Where the text line holding pos begins.
int IniText::lineBegin(int pos) const
{
    while (pos > m_bodyStart && !isLineEnd(m_data.at(pos - 1)))
        --pos;
    return pos;
}

// Where the text line holding pos ends, after its line end.
int IniText::afterLineEnd(int pos) const
{
    while (pos < m_data.size() && !isLineEnd(m_data.at(pos)))
        ++pos;
    if (pos < m_data.size())
        pos += m_data.mid(pos, 2) == "\r\n" ? 2 : 1;
    return pos;
}

// Where the value of a key line ends as QSettings reads it: without the blanks before a comment
// or the line end.
int IniText::valueEnd(const Line &line) const
{
    int end = line.end;
    while (end > line.equals + 1 && (m_data.at(end - 1) == ' ' || m_data.at(end - 1) == '\t'))
        --end;
    return end;
}

// The first line end of the text, or the platform's for a text without one.
QByteArray IniText::lineEnd() const
{
    for (int i = 0; i < m_data.size(); ++i) {
        if (m_data.at(i) == '\n')
            return QByteArrayLiteral("\n");
        if (m_data.at(i) == '\r')
            return m_data.mid(i, 2) == "\r\n" ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\r");
    }
    return kPlatformLineEnd;
}

QByteArray IniText::withKeys(const QString &group, const QVector<Key> &keys) const
{
    const QByteArray eol = lineEnd();
    QVector<Edit> edits;
    QByteArray missing;
    for (const Key &key : keys) {
        const QString name = group + QLatin1Char('/') + key.name;
        bool placed = false;
        for (const Line &line : m_lines) {
            if (!names(line, name, Qt::CaseInsensitive))
                continue;
            if (!placed && line.group == group)
                edits.append({line.start, valueEnd(line), keyLine(key)});
            else
                edits.append({lineBegin(line.start), afterLineEnd(line.end), QByteArray()});
            placed = placed || line.group == group;
        }
        if (!placed)
            missing += keyLine(key) + eol;
    }
    if (!missing.isEmpty()) {
        // After the last key (or the head) of the first part of the text that opens the group.
        int anchor = -1;
        for (const Line &line : m_lines) {
            if (line.kind == Line::OpensGroup && anchor >= 0)
                break;
            if ((line.kind == Line::OpensGroup || (line.kind == Line::HoldsKey && anchor >= 0)) && line.group == group)
                anchor = line.end;
        }
        const int at = anchor >= 0 ? afterLineEnd(anchor) : m_data.size();
        QByteArray insert;
        if (at == m_data.size() && at > m_bodyStart && !isLineEnd(m_data.at(at - 1)))
            insert += eol;
        if (anchor < 0) {
            // A blank line before the new group, as QSettings writes one between groups.
            if (at > m_bodyStart && !(m_data + insert).endsWith(eol + eol))
                insert += eol;
            insert += '[' + group.toUtf8() + ']' + eol;
        }
        edits.append({at, at, insert + missing});
    }
    // An insertion goes before a removal that starts where it stands.
    std::sort(edits.begin(), edits.end(),
              [](const Edit &a, const Edit &b) { return a.from != b.from ? a.from < b.from : a.to < b.to; });
    QByteArray result;
    int done = 0;
    for (const Edit &edit : edits) {
        result += m_data.mid(done, edit.from - done) + edit.text;
        done = edit.to;
    }
    return result + m_data.mid(done);
}

bool IniText::holds(const QString &group, const QVector<Key> &keys) const
{
    if (!m_valid)
        return false;
    for (const Key &key : keys) {
        const QString name = group + QLatin1Char('/') + key.name;
        // A list that ends in an empty entry ends in a blank, which valueEnd leaves out.
        QByteArray expected = keyLine(key);
        while (expected.endsWith(' '))
            expected.chop(1);
        int found = 0;
        for (const Line &line : m_lines) {
            if (!names(line, name, Qt::CaseInsensitive))
                continue;
            const bool exact = line.group == group && names(line, name, Qt::CaseSensitive)
                               && m_data.mid(line.start, valueEnd(line) - line.start) == expected;
            found += exact ? 1 : 2;
        }
        if (found != 1)
            return false;
    }
    return true;
}

QByteArray IniText::encodedList(const QStringList &entries)
{
    if (entries.isEmpty())
        return QByteArrayLiteral("@Invalid()");
    QByteArray out = encodedEntry(entries.first());
    for (int i = 1; i < entries.size(); ++i)
        out += ", " + encodedEntry(entries.at(i));
    return out;
}
