#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The commands sent on the control connection during one request and the final reply each got,
// paired up from the library's protocol trace. FTP answers each command in turn, so a reply
// belongs to the last command sent before it; preliminary 1xx replies are passed over. Replies
// that come before any command (the greeting) belong to an exchange with an empty command. The
// password of a PASS command is never kept. What the client did on its own during an exchange (a
// stranger's data connection turned away) is noted with it.
class FtpTranscript {
public:
    struct Exchange {
        QString command;  // as sent, without CRLF
        int code = 0;     // final reply code; 0 while none has come
        QString reply;    // final reply's last line, e.g. "550 No such file or directory."
        QStringList notes;
    };

    void Clear();
    void CommandSent(const QByteArray& bytes);
    void ReplyReceived(const QByteArray& bytes);
    // Notes what the client did during the last exchange (before any: during the greeting's).
    void Note(const QString& text);

    const QList<Exchange>& Exchanges() const { return exchanges_; }
    // The last exchange whose command is exactly command (letter case of the verb aside); null
    // when there is none.
    const Exchange* LastFor(const QString& command) const;
    // The last final reply of all, with its code; code 0 when there is none.
    const Exchange* LastAnswered() const;

private:
    void AddLine(const QString& line);

    QList<Exchange> exchanges_;
    QByteArray partial_;     // a reply line not yet ended
    QString multiLineCode_;  // "ddd" while inside a multi-line reply
};
