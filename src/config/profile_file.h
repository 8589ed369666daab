#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

// One key to set: see CProfileFile::WriteString.
struct ProfileWrite {
    QString section;
    QString key;
    QString value;
};

// Our private-profile (INI) reader and writer, standing in for the Win32
// GetPrivateProfileString / GetPrivateProfileInt / WritePrivateProfileString
// that NV.inf was made for.
//
// The file is 8-bit text. Every byte is taken as one Latin-1 character, so
// whatever the file holds (ANSI, UTF-8, stray control bytes) survives a read
// and a write unchanged. A UTF-8 byte order mark at the start is kept but not
// taken as part of the first line.
//
// Reading rules:
// - A line "[name]" starts a section; the name lies between '[' and the last
//   ']' on the line. A line that starts with '[' but has no ']' is ignored.
// - A line "key=value" is a key of the section above it; the key is the text
//   before the first '=', the value everything after it. Lines before the first
//   section, lines without '=' and comment lines (first non-blank character ';'
//   or '#') belong to nothing. There are no comments at the end of a value:
//   "A=1 ; x" has the value "1 ; x", as with the Win32 functions.
// - Section and key names are matched without regard to case; spaces and tabs
//   around names and values are not part of them. Quotes are not stripped.
// - A name that occurs twice: the first section of that name is the only one
//   searched (as Win32 does), and in it the first key of that name wins.
// - A key whose value is empty counts as missing.
//
// The file is read once, by the constructor, and again only by Reload(); reads
// come from memory. Writes change the lines in memory and save the whole file
// at once, atomically. Not thread-safe; a profile file belongs to one thread.
class CProfileFile {
public:
    // Win32 reads strings into a 256-byte buffer: at most 255 characters.
    static constexpr int kMaxStringLength = 255;

    // Reads the file. A missing file reads as empty: every read gets its
    // default, and the first write creates the file.
    explicit CProfileFile(QString path);

    const QString& Path() const { return m_path; }

    // Reads the file again, dropping what was read before. A missing file
    // counts as success (empty). Returns false with the reason in *error when
    // the file exists but cannot be read; it then reads as empty and every
    // write is refused, so that an unreadable file is never overwritten with
    // only the keys written since.
    bool Reload(QString* error = nullptr);

    // The value of the key, at most 255 characters; defaultValue when the
    // section or the key is missing or the value is empty.
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue = QString()) const;

    // The decimal number at the start of the value (see ParseLeadingInt);
    // defaultValue when the section or the key is missing or the value is
    // empty. A value that does not start with a number gives 0, as the Win32
    // function does: "abc" and "0x10" read as 0, "12abc" as 12.
    int ReadInt(const QString& section, const QString& key, int defaultValue) const;

    // Sets the key to the value and saves the file at once. An existing key
    // keeps its line, its spelling and its place; a missing key is added after
    // the last key of its section (so blank lines and comments that lead into
    // the next section stay in front of it); a missing section is added at the
    // end of the file after a blank line. Every other line, the byte order mark
    // and each line's own ending (CRLF or LF) stay as they were; added lines
    // take the ending of the file's first line (LF for a new file).
    //
    // The file is written to a temporary file beside it and renamed over it,
    // so a crash or a full disk never leaves half a file. On failure returns
    // false with the reason in *error, and both the file and what this object
    // reads stay as they were. Fails on a file without any write permission
    // (read-only, as under Windows; even for root). Refused: names that are
    // empty or would not read back as the same name (a key holding '=', a
    // section holding ']', a name starting with '[', ';' or '#'), line breaks
    // anywhere, and characters that 8-bit text cannot hold. Blanks around the
    // value are written but, like any, not read back.
    bool WriteString(const QString& section, const QString& key, const QString& value, QString* error = nullptr);

    // Every write of the list, applied one after the other to the file's
    // lines exactly as WriteString would apply them, then saved as one file:
    // afterwards the file holds all of them or, on failure, none. A write
    // that WriteString would refuse refuses the whole list.
    bool WriteStrings(const std::vector<ProfileWrite>& writes, QString* error = nullptr);

    // WriteString with the number made with "%d".
    bool WriteInt(const QString& section, const QString& key, int value, QString* error = nullptr);

    // The decimal number at the start of the text, like the C library's atoi
    // but without its undefined cases: leading spaces and tabs are skipped, one
    // '+' or '-' is taken, then digits up to the first non-digit. No digits
    // give 0; a number beyond the range of int gives INT_MAX or INT_MIN.
    static int ParseLeadingInt(QStringView text);

private:
    struct Line {
        QString text;       // the line's bytes as Latin-1, without its ending
        QByteArray ending;  // "\r\n", "\n", or empty for a last line without one
    };

    // Index of the section header line, or -1.
    // The value of key in section, trimmed; empty when either is missing or
    // the value is empty. Points into m_lines.
    QStringView FindValue(const QString& section, const QString& key) const;
    static int FindSection(const std::vector<Line>& lines, QStringView section);
    // Index of the key's line in the section that starts at header, or -1.
    static int FindKey(const std::vector<Line>& lines, int header, QStringView key);
    // Index of the line before which a new key of that section goes.
    static int KeyInsertPosition(const std::vector<Line>& lines, int header);

    // Why the write is refused, or an empty string.
    QString CheckWrite(const ProfileWrite& write) const;
    void ApplyWrite(std::vector<Line>& lines, const ProfileWrite& write) const;
    void InsertLine(std::vector<Line>& lines, int position, const QString& text) const;
    bool Save(const std::vector<Line>& lines, QString* error) const;

    QString m_path;
    QByteArray m_byteOrderMark;    // kept in front of the first line
    std::vector<Line> m_lines;
    QByteArray m_newLineEnding = "\n";
    QString m_loadError;           // non-empty: the file exists but was not readable
};
