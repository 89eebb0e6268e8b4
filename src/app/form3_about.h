#pragma once
// The About window: a picture and two red texts beneath it.
// The picture is decoded at the first show.

#include <QWidget>

class QLabel;

class TForm3 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;

  protected:
    void showEvent(QShowEvent* event) override;
};
