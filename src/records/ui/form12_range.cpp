#include "records/ui/form12_range.h"

#include "platform/handler_guard.h"
#include "records/number_range.h"
#include "ui/control_factory.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

TForm12::TForm12(QWidget* parent) : QWidget(parent, Qt::Dialog) { CreateControls(); }

void TForm12::CreateControls()
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("В каком промежутке будем упражнятся?"));
    setGeometry(192, 117, 466, 261);
    setFixedSize(466, 261);

    const QString prompt = QStringLiteral("Укажите в каком промежутке чисел будем упражнятся");
    StaticText1 = MakeLabel(this, QStringLiteral("StaticText1"), prompt, QPoint(88, 24));

    RadioButton1 =
        MakeRadio(this, QStringLiteral("RadioButton1"), QStringLiteral("0-9"), {152, 56, 113, 17});
    RadioButton2 =
        MakeRadio(this, QStringLiteral("RadioButton2"), QStringLiteral("0-20"), {152, 88, 113, 17});
    RadioButton3 = MakeRadio(this, QStringLiteral("RadioButton3"), QStringLiteral("0-99"),
                             {152, 120, 113, 17});
    RadioButton4 = MakeRadio(this, QStringLiteral("RadioButton4"), QStringLiteral("0-999"),
                             {152, 144, 113, 17});
    RadioButton2->setChecked(true);

    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("OK"), {160, 216, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &TForm12::Button1Click);
}

void TForm12::Button1Click()
{
    RunHandler([this] {
        NumberRange& range = currentRange();
        if (RadioButton1->isChecked())
            range = {9, QStringLiteral("9")};
        else if (RadioButton2->isChecked())
            range = {20, QStringLiteral("20")};
        else if (RadioButton3->isChecked())
            range = {99, QStringLiteral("99")};
        else
            range = {999, QStringLiteral("999")};
        hide();
        emit rangeApplied(QStringLiteral("0-") + range.rangeText);
    });
}
