#pragma once

#include <QDialog>

namespace Ui {
class passWindow;
}

// Asks for an access level and its password; the drive, not this dialog, judges them.
class passWindow : public QDialog {
    Q_OBJECT
  public:
    explicit passWindow(QWidget *parent = nullptr);
    ~passWindow() override;

  signals:
    void accepted_password(int level, QString pass);

  private slots:
    void on_buttonBox_accepted();

  private:
    Ui::passWindow *ui;
};
