// Long stored texts (a nick of 248 characters, a full name of 255) stay inside
// their controls: every window keeps its own size on the screen, and its
// buttons and other controls stay inside it.

#include "config/app_config.h"
#include "program_test_env.h"
#include "records/result_record.h"
#include "ui/control_factory.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kLongNick = QString(248, QLatin1Char('W'));
const QString kLongName = QString(255, QChar(0x0428)); // "Ш", among the widest letters

class LongTextsTest : public ProgramTest {
  protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        UserProfile profile;
        profile.fullName = kLongName;
        profile.totalTime = 600;
        profile.totalPoints = 150;
        ASSERT_TRUE(WriteProfile(kLongNick, profile));
        ASSERT_TRUE(WriteProfile(QStringLiteral("anna"), UserProfile()));
    }
};

// The buttons, input controls and value texts of `window` lie inside it
// (labels of fixed text are left to the window's design).
void ExpectControlsInside(QWidget* window)
{
    const QRect inside = window->rect();
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->isWindow() || !control->isVisibleTo(window))
            continue;
        const auto* label = qobject_cast<QLabel*>(control);
        if (label && label->text() != kLongNick && label->text() != kLongName)
            continue;
        const QRect place(control->mapTo(window, QPoint(0, 0)), control->size());
        EXPECT_TRUE(inside.contains(place))
            << control->metaObject()->className() << " " << control->objectName().toStdString()
            << " at " << place.x() << "," << place.y() << " " << place.width() << "x"
            << place.height() << " outside " << inside.width() << "x" << inside.height();
    }
}

TEST_F(LongTextsTest, WindowsKeepTheirSizeAndControlsStayInside)
{
    StartedProgram w{std::make_unique<RecordingSoundPlayer>()};

    // The long user logs in; the main window shows the nick and full name.
    w.form4().ComboBox1->setEditText(kLongNick);
    w.form4().Button1->click();
    ASSERT_EQ(currentUser().nick, kLongNick);

    ResultRecord record;
    record.nick = kLongNick;
    record.fullName = kLongName;
    record.timePerExample = 12345;
    record.points = 10;
    record.finishedAt = QStringLiteral("01.02.2026 10:11:12");
    AppendResultRecord(record);

    w.form6().Edit1->setText(kLongNick);
    w.form6().Edit2->setText(kLongName);
    w.form7().Edit1->setText(kLongName);
    w.form8().ShowUserStatistics(kLongNick);
    w.form9().FillUserList();
    w.form9().ComboBox1->setCurrentIndex(
        w.form9().ComboBox1->findText(kLongNick, Qt::MatchStartsWith));
    w.form10().LoadSummaryTable();
    w.form11().LoadRecordsTable();
    appConfig().PathUser =
        QStringLiteral("/") + QString(30, QLatin1Char('d')).append('/').repeated(8);
    w.form5().FillSettingsWindow();

    const struct {
        QWidget* window;
        QSize size; // the client size the window is designed with
    } cases[] = {
        {&w.form1(), ClientSizeForOuterSize(470, 495)},
        {&w.form4(), {303, 177}},
        {&w.form5(), ClientSizeForOuterSize(568, 477)},
        {&w.form6(), {535, 248}},
        {&w.form7(), {342, 192}},
        {&w.form8(), ClientSizeForOuterSize(584, 428)},
        {&w.form9(), ClientSizeForOuterSize(588, 289)},
        {&w.form10(), ClientSizeForOuterSize(741, 480)},
        {&w.form11(), {1019, 532}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window->metaObject()->className());
        c.window->show();
        EXPECT_EQ(c.window->size(), c.size);
        ExpectControlsInside(c.window);
        c.window->hide();
    }

    // The texts are whole: only their display is bounded.
    EXPECT_EQ(w.form4().ComboBox1->currentText(), kLongNick);
    EXPECT_EQ(w.form9().ComboBox1->currentText(),
              kLongNick + QStringLiteral(" (") + kLongName + QStringLiteral(")"));
}

} // namespace
