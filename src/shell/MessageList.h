#pragma once
// A message list (lstStatus, Statelist): at most 1000 lines, the last one current.
// Windows show it in a list view; the command line prints each line as it is added.
#include <QObject>
#include <QStringList>

class MessageList : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxLines = 1000;
    using QObject::QObject;

    // Splits at each literal two-character backslash-n; the remainder (maybe "") is the last line.
    void MesgDisp(const QString& text);
    void MesgDisp_sub(const QString& line);
    // Replaces the text of the last line (a traceroute's hop line grows in place).
    void MesgModify(const QString& line);
    void clear();

    const QStringList& lines() const { return lines_; }
    int count() const { return lines_.size(); }
    QString last() const { return lines_.isEmpty() ? QString() : lines_.last(); }

signals:
    void lineAdded(const QString& line);
    void lastLineModified(const QString& line);
    void firstLineRemoved();
    void cleared();

private:
    QStringList lines_;
};
