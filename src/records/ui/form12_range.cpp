#include "records/ui/form12_range.h"

#include "platform/handler_guard.h"
#include "records/number_range.h"
#include "ui/control_factory.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

TForm12::TForm12(NumberRange& range, QWidget* parent) : QWidget(parent, Qt::Dialog), range_(range)
{
    CreateControls();
}

void TForm12::CreateControls()
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("В каком промежутке будем упражнятся?"));
    setGeometry(192, 117, 466, 261);
    setFixedSize(466, 261);

    const QString prompt = QStringLiteral("Укажите в каком промежутке чисел будем упражнятся");
    StaticText1 = MakeLabel(this, QStringLiteral("StaticText1"), prompt, QPoint(88, 24));

    const std::vector<NumberRange>& ranges = NumberRanges();
    RadioButton1 = MakeRadio(this, QStringLiteral("RadioButton1"), RangeCaption(ranges[0]),
                             {152, 56, 113, 17});
    RadioButton2 = MakeRadio(this, QStringLiteral("RadioButton2"), RangeCaption(ranges[1]),
                             {152, 88, 113, 17});
    RadioButton3 = MakeRadio(this, QStringLiteral("RadioButton3"), RangeCaption(ranges[2]),
                             {152, 120, 113, 17});
    RadioButton4 = MakeRadio(this, QStringLiteral("RadioButton4"), RangeCaption(ranges[3]),
                             {152, 144, 113, 17});
    RadioButton2->setChecked(true);

    Button1 = MakeButton(this, QStringLiteral("Button1"), QStringLiteral("OK"), {160, 216, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &TForm12::Button1Click);
}

void TForm12::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    for (QRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        if (radio->isChecked())
            radio->setFocus();
}

void TForm12::Button1Click()
{
    RunHandler([this] {
        // The radio buttons stand in the order of the ranges; the last one is
        // taken when no other is checked.
        const QRadioButton* const buttons[] = {RadioButton1, RadioButton2, RadioButton3};
        size_t chosen = 0;
        while (chosen < std::size(buttons) && !buttons[chosen]->isChecked())
            ++chosen;
        range_ = NumberRanges()[chosen];
        hide();
        emit rangeApplied(RangeCaption(range_));
    });
}
