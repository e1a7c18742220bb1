// The window's side of the two test pages: each is a ResultPage over its
// widgets; its rows are kept in the results store through the window.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowparts.h"


void MainWindow::createResultPages()
{
    auto keepingIn = [this](store::TableKind kind) {
        return ResultPage::RowKeeping{
            [this, kind](const QStringList& texts, const QByteArray& trace, std::optional<bool> settled) {
                return parts->resultKeeper->keepResultRow(kind, texts, trace, settled);
            },
            [this](const QAbstractItemModel& model, const std::vector<int>& rows) { parts->resultKeeper->forgetRows(model, rows); },
            [this, kind] { parts->resultKeeper->forgetTable(kind); },
        };
    };
    parts->dcPage = new ResultPage(ui->page_0, dcPageTable(), keepingIn(store::TableKind::DcResults), this);
    parts->lengthPage = new ResultPage(ui->page_1, lengthPageTable(), keepingIn(store::TableKind::LengthResults), this);
    for (ResultPage* page : {parts->dcPage, parts->lengthPage})
        connect(page, &ResultPage::dangerShown, this, [this] { ui->statusbar->showMessage(QString()); });
    parts->rowRemoval = new RowRemoval(this);
    connect(parts->rowRemoval, &RowRemoval::statusMessage, this,
            [this](const QString& message) { ui->statusbar->showMessage(message); });
}

void MainWindow::on_spinBox_TappingValue_3_valueChanged(int arg1) { parts->dcPage->showTwoDigits(arg1); }
void MainWindow::on_doubleSpinBox_ConductorTempValue_3_valueChanged(double arg1) { parts->dcPage->showSign(arg1); }

void MainWindow::on_toolButton_record_clicked() { parts->dcPage->toggleTable(); }
void MainWindow::on_toolButton_record2_clicked() { parts->lengthPage->toggleTable(); }
void MainWindow::on_pushButton_delete_clicked() { parts->rowRemoval->deleteSelectedRows(*parts->dcPage); }
void MainWindow::on_pushButton_delete2_clicked() { parts->rowRemoval->deleteSelectedRows(*parts->lengthPage); }
void MainWindow::on_pushButton_clear_clicked() { parts->rowRemoval->clearRows(*parts->dcPage); }
void MainWindow::on_pushButton_clear2_clicked() { parts->rowRemoval->clearRows(*parts->lengthPage); }
