// The desktop side of the seams, offscreen: filter conversion, message boxes, the log-open
// question, the clipboard and the programs' identity towards the desktop.
#include "ScriptedPeer.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/ProgramIdentity.h"
#include "shell/frmLogOpenDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// Runs `act` on the first modal dialog that opens, once it is up.
void onModal(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(w);
        }
    });
    poll->start();
}

// Runs `act` on the first visible top-level dialog of that object name, once it is up.
void onDialog(const QString& name, std::function<void(QDialog*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, name, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dlg = qobject_cast<QDialog*>(w);
            if (dlg && dlg->isVisible() && dlg->objectName() == name) {
                poll->stop();
                poll->deleteLater();
                act(dlg);
                return;
            }
        }
    });
    poll->start();
}

}  // namespace

class tst_QtSeams : public QObject {
    Q_OBJECT
private slots:
    void qtFilter_data();
    void qtFilter();
    void message_data();
    void message();
    void logOpenDialog_data();
    void logOpenDialog();
    void logOpenCaptions_data();
    void logOpenCaptions();
    void boxBelongsToTheAskingWindow();
    void clipboard();
    void identity_data();
    void identity();
};

void tst_QtSeams::qtFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("text and all") << "Text File (*.txt)|*.txt|All Files (*.*)|*.*"
                                  << "Text File (*.txt);;All Files (*)";
    QTest::newRow("all files among others") << "Bin|*.bin;*.*" << "Bin (*.bin *)";
    QTest::newRow("pattern not in description") << "Binary|*.bin" << "Binary (*.bin)";
    QTest::newRow("several patterns") << "Images|*.bin;*.img" << "Images (*.bin *.img)";
    QTest::newRow("empty") << "" << "";
}

void tst_QtSeams::qtFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(QtOperator::qtFilter(filter), qt);
}

void tst_QtSeams::message_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");  // QMessageBox::StandardButton, 0 = Escape
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<int>("answer");
    using O = Operator;
    QTest::newRow("warning ok") << int(O::Icon::Critical) << int(O::Buttons::Ok) << int(QMessageBox::Ok)
                                << int(QMessageBox::Critical) << int(O::Answer::Ok);
    QTest::newRow("write error") << int(O::Icon::Exclamation) << int(O::Buttons::Ok) << int(QMessageBox::Ok)
                                 << int(QMessageBox::Warning) << int(O::Answer::Ok);
    QTest::newRow("yes") << int(O::Icon::Question) << int(O::Buttons::YesNo) << int(QMessageBox::Yes)
                         << int(QMessageBox::Question) << int(O::Answer::Yes);
    QTest::newRow("no") << int(O::Icon::Question) << int(O::Buttons::YesNo) << int(QMessageBox::No)
                        << int(QMessageBox::Question) << int(O::Answer::No);
    QTest::newRow("escape on yes/no is no") << int(O::Icon::Information) << int(O::Buttons::YesNo) << 0
                                            << int(QMessageBox::Information) << int(O::Answer::No);
}

void tst_QtSeams::message()
{
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, qtIcon);
    QFETCH(int, answer);
    QString title, text;
    int seenIcon = -1;
    onModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        seenIcon = int(box->icon());
        if (press == 0)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::StandardButton(press))->click();
    });
    QtOperator op;
    const Operator::Answer got = op.message("WARNING", "Invalid IP Address", Operator::Icon(icon), Operator::Buttons(buttons));
    QCOMPARE(int(got), answer);
    QCOMPARE(title, QString("WARNING"));
    QCOMPARE(text, QString("Invalid IP Address"));
    QCOMPARE(seenIcon, qtIcon);
}

void tst_QtSeams::logOpenDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("choice");
    QTest::newRow("Overwrite") << "Overwrite" << int(Operator::LogOpenChoice::Overwrite);
    QTest::newRow("Append") << "Append" << int(Operator::LogOpenChoice::Append);
    QTest::newRow("Cancel") << "Cancel" << int(Operator::LogOpenChoice::Cancel);
    QTest::newRow("Escape") << "" << int(Operator::LogOpenChoice::Cancel);
}

void tst_QtSeams::logOpenDialog()
{
    QFETCH(QString, button);
    QFETCH(int, choice);
    // The question is not modal: while it waits, no window blocks the others.
    bool modal = true;
    onDialog("frmLogOpenDlg", [&](QDialog* w) {
        modal = w->isModal() || QApplication::activeModalWidget() != nullptr;
        if (button.isEmpty()) {
            QTest::keyClick(w, Qt::Key_Escape);
            return;
        }
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text() == button) QTest::mouseClick(b, Qt::LeftButton);
    });
    QtOperator op;
    QCOMPARE(int(op.askLogOpen("/tmp/x.txt")), choice);
    QVERIFY(!modal);
}

void tst_QtSeams::logOpenCaptions_data()
{
    QTest::addColumn<bool>("test");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("QLN_Set") << false << "frmLogOpenDlg" << QStringList{"File Exist. ", QString("Overwrite or Append or Cancel") + QChar(0xFF1F)};
    QTest::newRow("QLN_Test") << true << "frmLogDlg" << QStringList{"File Exist.", "Overwrite or Append or Cancel ?"};
}

void tst_QtSeams::logOpenCaptions()
{
    QFETCH(bool, test);
    QFETCH(QString, name);
    QFETCH(QStringList, labels);
    frmLogOpenDlg dlg(nullptr, test ? LogOpenDlgTexts::Test() : LogOpenDlgTexts::Setup());
    QCOMPARE(dlg.objectName(), name);
    QCOMPARE(dlg.windowTitle(), QString("Log Data Save"));
    QStringList shown, buttons;
    for (QLabel* l : dlg.findChildren<QLabel*>()) shown << l->text();
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) buttons << b->text();
    QCOMPARE(shown, labels);
    QCOMPARE(buttons, (QStringList{"Overwrite", "Append", "Cancel"}));
}

void tst_QtSeams::boxBelongsToTheAskingWindow()
{
    QWidget main, check;
    main.setObjectName("frmMain");
    check.setObjectName("frmCheck");
    QtOperator op(&main);
    Operator& ofCheck = op.forWindow(&check);
    QCOMPARE(&op.forWindow(&check), &ofCheck);  // one per window, kept
    QVERIFY(&op.forWindow(&main) != &ofCheck);
    QWidget* parent = nullptr;
    onModal([&](QWidget* w) {
        parent = w->parentWidget();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    ofCheck.message("WARNING", "Invalid File Pathname", Operator::Icon::Critical);
    QCOMPARE(parent ? parent->objectName() : QString("none"), QString("frmCheck"));
}

void tst_QtSeams::clipboard()
{
    QtClipboard cb;
    cb.setText("a\r\nb\r\n");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("a\r\nb\r\n"));
    cb.clear();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
}

void tst_QtSeams::identity_data()
{
    QTest::addColumn<QString>("desktopId");
    QTest::addColumn<QString>("colour");  // the icon's background, left of its drawing
    QTest::newRow("QLN_Set") << "qln-set" << "#2f6db5";
    QTest::newRow("QLN_Test") << "qln-test" << "#2e8b57";
    QTest::newRow("QLN_Xfer") << "qln-xfer" << "#d9822b";
}

void tst_QtSeams::identity()
{
    QFETCH(QString, desktopId);
    QFETCH(QString, colour);
    const QByteArray name = QTest::currentDataTag();
    SetProgramIdentity(name.constData());
    QCOMPARE(QApplication::applicationName(), QString::fromLatin1(name));
    QCOMPARE(QApplication::applicationVersion(), QString("1.0.0"));
    QCOMPARE(QGuiApplication::desktopFileName(), desktopId);
    const QImage icon = QApplication::windowIcon().pixmap(64, 64).toImage();
    QVERIFY2(!icon.isNull(), "the window icon does not render (is the SVG image plugin installed?)");
    QCOMPARE(icon.pixelColor(8 * icon.width() / 64, icon.height() / 2).name(), colour);
}

QTEST_MAIN(tst_QtSeams)
#include "tst_QtSeams.moc"
