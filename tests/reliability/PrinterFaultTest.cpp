// The print system fails while a receipt is printed: the print service stopped, the
// queue paused or refusing jobs, before printing or in the middle of it. Each shows
// an error box; the sale is not recorded, stays on screen and leaves no job behind
// that would print later on its own; once the fault is mended the same sale prints
// and is recorded. Needs the print system of scripts/start-cups and the right to
// stop it (root); skipped otherwise.
#include "Clock.h"
#include "Forms.h"
#include "MainUnit.h"
#include "PrintQueue.h"
#include "Snapshot.h"
#include "Startup.h"

#include <QProcess>
#include <QTest>
#include <QThread>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace Reliability;

namespace {

QString run(const QString &program, const QStringList &arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000))
        return QStringLiteral("<timeout>");
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

bool cupsRunning() {
    return run(QStringLiteral("lpstat"), {QStringLiteral("-r")})
        .contains(QLatin1String("is running"));
}

bool pdfPrinterIsDefault() {
    return run(QStringLiteral("lpstat"), {QStringLiteral("-d")}).contains(QLatin1String(": PDF"));
}

void stopCups() {
    run(QStringLiteral("pkill"), {QStringLiteral("-x"), QStringLiteral("cupsd")});
    for (int i = 0; i < 100 && cupsRunning(); ++i)
        QThread::msleep(100);
}

void startCups() {
    run(QStringLiteral(START_CUPS), {});
}

// Jobs of the PDF printer not yet done: a job left there would print by itself later.
QString pendingJobs() {
    return run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QStringLiteral("PDF")}).trimmed();
}

// Waits until the printer has written every job it has (at most 30 s).
void waitForIdle() {
    for (int i = 0; i < 300 && !pendingJobs().isEmpty(); ++i)
        QThread::msleep(100);
}

void queue(const char *command) {
    run(QString::fromLatin1(command), {QStringLiteral("PDF")});
}

class PrinterFault : public FormsTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0 || !pdfPrinterIsDefault())
            GTEST_SKIP() << "needs root and the print system of scripts/start-cups";
        FormsTest::SetUp();
        // A clock one second further at every look: every receipt has its own number.
        auto now = std::make_shared<QDateTime>(QDate(2031, 5, 1), QTime(9, 0, 0));
        Clock::setSource([now] {
            *now = now->addSecs(1);
            return *now;
        });
        main = forms().main;
        main->show();
        main->CheckBox2->setChecked(false);
        main->CheckBox3->setChecked(false);
        main->ComboBox5->setEditText(QStringLiteral("58"));
        main->ComboBox3->setEditText(QStringLiteral("1"));
        main->ComboBox6->setEditText(QStringLiteral("王五"));
    }
    void TearDown() override {
        Clock::setSource({});
        PrintQueue::setBeforeSubmit({});
        if (!cupsRunning())
            startCups();
        queue("cupsenable");
        queue("cupsaccept");
        FormsTest::TearDown();
    }

    void addLine() {
        main->ComboBox1->setEditText(QStringLiteral("绿茶"));
        main->Edit3->setText(QStringLiteral("8.8"));
        main->Edit4->setText(QStringLiteral("2"));
        QTest::keyClick(main->Edit4, Qt::Key_End);
        QTest::mouseClick(main->SpeedButton2, Qt::LeftButton);
    }
    void print() { QTest::mouseClick(main->SpeedButton6, Qt::LeftButton); }
    int saleLines() {
        return tillColumn(QStringLiteral("SELECT count(*) FROM xsxx")).value(0).toInt();
    }
    bool errorShown() const {
        for (const Messages::Box &b : boxes) {
            if (b.isError)
                return true;
        }
        return false;
    }
    QString file() const { return path(QStringLiteral("data.mdb")); }

    TMainForm *main = nullptr;
};

} // namespace

TEST_F(PrinterFault, EveryFaultIsAnErrorAndTheSamePrintsOnceMended) {
    struct Fault {
        const char *name;
        std::function<void()> make;
        bool midPrint; // made after the receipt is rendered, before it is sent
        std::function<void()> mend;
    };
    const std::vector<Fault> faults = {
        {"print queue paused", [] { queue("cupsdisable"); }, false, [] { queue("cupsenable"); }},
        {"print queue refusing jobs", [] { queue("cupsreject"); }, false,
         [] { queue("cupsaccept"); }},
        {"print service stopped", stopCups, false, startCups},
        {"print queue paused mid-print", [] { queue("cupsdisable"); }, true,
         [] { queue("cupsenable"); }},
        {"print service stopped mid-print", stopCups, true, startCups},
    };
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.name);
        addLine();
        ASSERT_FALSE(errorShown()) << boxTexts().join(' ').toStdString();
        const int lines = saleLines();
        waitForIdle();
        const Snapshot before = snapshot(file());
        if (fault.midPrint)
            PrintQueue::setBeforeSubmit(fault.make);
        else
            fault.make();
        clearBoxes();
        print();
        PrintQueue::setBeforeSubmit({});
        const bool refused = errorShown();
        EXPECT_TRUE(refused) << "no error box";
        const Snapshot now = snapshot(file());
        EXPECT_EQ(now, before) << "recorded while printing failed";
        EXPECT_EQ(saleLines(), lines) << "the sale left the screen";
        fault.mend();
        EXPECT_EQ(pendingJobs(), QString()) << "a job waits that would print later";

        // Mended: the same sale prints and is recorded.
        clearBoxes();
        print();
        EXPECT_FALSE(errorShown()) << boxTexts().join(' ').toStdString();
        EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM xstj")).value(0).toInt(),
                  before.value(QStringLiteral("xstj")).size() + 1);
        EXPECT_EQ(saleLines(), 0);
        EXPECT_EQ(incompleteReceipts(file()), QStringList());
        reportRow(QString::fromUtf8(fault.name), 1, refused && now == before ? 1 : 0,
                  rowsLost(before, now, before));
    }
}
