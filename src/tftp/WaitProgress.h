#pragma once
// What a program waits on the device for, as one line of text: the UIF exchange and its resends,
// the transfer and the blocks it has moved. The CLI draws it on the terminal, a window in its
// status bar; "" when nothing is awaited.
#include <QObject>
#include <QString>

class frmTFR;
class frmUIF;

class WaitProgress : public QObject {
    Q_OBJECT
public:
    explicit WaitProgress(QObject* parent = nullptr) : QObject(parent) {}

    void watch(frmUIF& uif);
    void watch(frmTFR& tfr);  // its server's blocks too
    QString text() const;

signals:
    void changed(const QString& text);

private:
    void update();

    int send_ = 0;  // the UIF exchange's send now waiting, 0 when none waits
    bool transfer_ = false;
    bool receiving_ = false;
    int blocks_ = 0;
    qint64 bytes_ = 0;
    QString shown_;
};
