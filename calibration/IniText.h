#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The text of an INI file as the INI reader of QSettings reads it (codec UTF-8), for setting the
// keys of one group while every other byte stays as it was: comments, names in any script or
// escape, the values of other keys, line ends, a byte-order mark.
//
// The text is cut into lines as QSettings cuts it: white space before a line is skipped, a line
// ends at a line end or ';' outside quotes (a '\' carries it over a line end), a line that starts
// with ';' is a comment. A "[...]" line opens a group, a line with '=' is a key; a line that starts
// with '#' is taken for a comment (QSettings reads it as a line it does not understand).
class IniText
{
public:
    // A key to set: its name as it is to be spelled, and its entries.
    struct Key
    {
        QString name;
        QStringList entries;
    };

    explicit IniText(const QByteArray &data);

    // Every line is a group, a key or a comment.
    bool isValid() const { return m_valid; }

    // The text with the keys set in the group (names of letters, digits and '_'). Keys are found
    // without regard to case: the first line that QSettings reads as the key in the group is
    // replaced where it stands, spelled as given; every other line naming it (a group of another
    // case, a "group\key" name, a second line) goes. Missing keys are added after the last key of
    // the group, and the group after the rest of the text when the text has none, with the
    // text's own line end.
    QByteArray withKeys(const QString &group, const QVector<Key> &keys) const;

    // Whether QSettings reads each key from this text exactly once, in the group, spelled as
    // given and with its entries as withKeys writes them. After withKeys, false when the old text
    // ended inside quotes or in a '\' that swallows what was added after it.
    bool holds(const QString &group, const QVector<Key> &keys) const;

    // The entries in the list notation of the INI writer of QSettings with the codec UTF-8 (a
    // single entry as a plain text).
    static QByteArray encodedList(const QStringList &entries);

private:
    struct Line
    {
        enum Kind { OpensGroup, HoldsKey, Comment, Broken };
        Kind kind;
        int start;     // [start, end): the line as QSettings cuts it
        int end;
        int equals;    // the first '=' outside quotes, or -1
        QString group; // the group the line is in (a group line: the group it opens), "" before any
        QString key;   // a key line: its name within the group
    };

    static bool names(const Line &line, const QString &name, Qt::CaseSensitivity cs);

    bool nextLine(int &pos, Line &line) const;
    int lineBegin(int pos) const;
    int afterLineEnd(int pos) const;
    int valueEnd(const Line &line) const;
    QByteArray lineEnd() const;

    QByteArray m_data;
    int m_bodyStart = 0; // after a byte-order mark
    QVector<Line> m_lines;
    bool m_valid = true;
};
