#include "params/passwindow.h"

#include "ui_passwindow.h"

passWindow::passWindow(QWidget *parent) : QDialog(parent), ui(new Ui::passWindow) {
    ui->setupUi(this);
    // The row is the level number.
    ui->cmbLevel->addItem(QStringLiteral("-- select a user level --"));
    ui->cmbLevel->addItem(QStringLiteral("Level 1: user"));
    ui->cmbLevel->addItem(QStringLiteral("Level 2: distributor"));
    ui->cmbLevel->addItem(QStringLiteral("Level 3: developer"));
}

passWindow::~passWindow() {
    delete ui;
}

void passWindow::on_buttonBox_accepted() {
    emit accepted_password(ui->cmbLevel->currentIndex(), ui->edPassword1->text());
}
