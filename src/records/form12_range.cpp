#include "records/form12_range.h"

#include "platform/handler_guard.h"
#include "records/number_range.h"
#include "util/control_names.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text, int top)
{
    auto* radio = new QRadioButton(text, parent);
    radio->setGeometry(152, top, 113, 17);
    SetDesignerName(radio, name, text);
    return radio;
}

} // namespace

TForm12::TForm12(QWidget* parent) : QWidget(parent, Qt::Dialog) { CreateControls(); }

void TForm12::CreateControls()
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("В каком промежутке будем упражнятся?"));
    setGeometry(192, 117, 466, 261);
    setFixedSize(466, 261);

    const QString prompt = QStringLiteral("Укажите в каком промежутке чисел будем упражнятся");
    StaticText1 = new QLabel(prompt, this);
    StaticText1->move(88, 24);
    StaticText1->adjustSize();
    SetDesignerName(StaticText1, QStringLiteral("StaticText1"), prompt);

    RadioButton1 = MakeRadio(this, QStringLiteral("RadioButton1"), QStringLiteral("0-9"), 56);
    RadioButton2 = MakeRadio(this, QStringLiteral("RadioButton2"), QStringLiteral("0-20"), 88);
    RadioButton3 = MakeRadio(this, QStringLiteral("RadioButton3"), QStringLiteral("0-99"), 120);
    RadioButton4 = MakeRadio(this, QStringLiteral("RadioButton4"), QStringLiteral("0-999"), 144);
    RadioButton2->setChecked(true);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(160, 216, 75, 25);
    SetDesignerName(Button1, QStringLiteral("Button1"), QStringLiteral("OK"));
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
