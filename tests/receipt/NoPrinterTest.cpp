// Printing on a machine without any printer: a printing error, not a receipt printed
// nowhere. Alone in its program, so that the print system is first asked here, after
// it has been pointed at a server that does not exist.
#include "Dy58Unit.h"
#include "Forms.h"
#include "PrintError.h"
#include "TestEnv.h"

class NoPrinterTest : public FormsTest {
protected:
    void SetUp() override {
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
        FormsTest::SetUp();
    }
};

TEST_F(NoPrinterTest, PrintingWithoutAPrinterIsAPrintingError) {
    tillSql(QStringLiteral(
        "insert into xsxx (品名, 单价, 数量, 金额, 折后) values ('苹果', 1, 1, 1, 1)"));
    TDy58Form &form = *forms().dy58;
    form.FormCreate();
    try {
        form.QuickRep1.print();
        FAIL() << "printed without a printer";
    } catch (const PrintError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("打印失败：没有可用的打印机"));
    }
}
