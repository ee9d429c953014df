#include "params/passwindow.h"

#include "ui_passwindow.h"

passWindow::passWindow(QWidget *parent) : QDialog(parent), ui(new Ui::passWindow) {
    ui->setupUi(this);
    // The row is the level number.
    ui->cmbLevel->addItem(tr("-- select a user level --"));
    ui->cmbLevel->addItem(tr("Level 1: user"));
    ui->cmbLevel->addItem(tr("Level 2: distributor"));
    ui->cmbLevel->addItem(tr("Level 3: developer"));
}

passWindow::~passWindow() {
    delete ui;
}

void passWindow::on_buttonBox_accepted() {
    emit accepted_password(ui->cmbLevel->currentIndex(), ui->edPassword1->text());
}
