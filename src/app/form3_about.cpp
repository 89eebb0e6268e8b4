#include "app/form3_about.h"

#include "ui/control_factory.h"
#include "ui/control_names.h"
#include "ui/jpeg_image.h"
#include "zelvo_version.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QShowEvent>

// The resources live in a static library: they are registered on first use.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace {

QImage AboutPicture()
{
    InitResources();
    QFile file(QStringLiteral(":/about.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return DecodeJpeg(file.readAll());
}

QLabel* RedText(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    SetRedText(label);
    return label;
}

} // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(ClientSizeForOuterSize(694, 524));

    Image1 = new QLabel(this);
    Image1->setGeometry(18, 12, 657, 433);
    SetDesignerName(Image1, QStringLiteral("Image1"));

    Label1 = RedText(this, QStringLiteral("Zelvo — тренажёр устного счёта"));
    Label1->setGeometry(18, 456, 320, 20);
    SetDesignerName(Label1, QStringLiteral("Label1"));

    Label2 = RedText(this, QStringLiteral("Версия " ZELVO_VERSION));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setGeometry(355, 456, 320, 20);
    SetDesignerName(Label2, QStringLiteral("Label2"));
}

// The picture is decoded when the window is first shown: most runs never open it.
void TForm3::showEvent(QShowEvent* event)
{
    if (Image1->pixmap().isNull())
        Image1->setPixmap(QPixmap::fromImage(AboutPicture()));
    QWidget::showEvent(event);
}
