// The window's side of the two test pages: each is a ResultPage over its
// widgets; its rows are kept in the results store through the window.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/resultpage.h"

void MainWindow::createResultPages()
{
    auto keepingIn = [this](store::TableKind kind) {
        return ResultPage::RowKeeping{
            [this, kind](const QStringList& texts, const QByteArray& trace) {
                return keepResultRow(kind, texts, trace);
            },
            [this](const QAbstractItemModel& model, const std::vector<int>& rows) { forgetKeptRows(model, rows); },
            [this, kind] { forgetKeptTable(kind); },
        };
    };
    dcPage = new ResultPage(ui->page_0, dcPageTable(), keepingIn(store::TableKind::DcResults), this);
    lengthPage = new ResultPage(ui->page_1, lengthPageTable(), keepingIn(store::TableKind::LengthResults), this);
    for (ResultPage* page : {dcPage, lengthPage})
        connect(page, &ResultPage::dangerShown, this, [this] { ui->statusbar->showMessage(QString()); });
}

const ResultPage* MainWindow::resultPageOnScreen() const
{
    switch (ui->stackedWidget->currentIndex()) {
    case kDcPage:
        return dcPage;
    case kLengthPage:
        return lengthPage;
    default:
        return nullptr;
    }
}

void MainWindow::createResultModels()
{
    resTestModel = dcPage->createModel();
    lengthTestModel = lengthPage->createModel();
}

void MainWindow::fillSettingComboBoxes()
{
    dcPage->fillSettingLists();
    lengthPage->fillSettingLists();
}

void MainWindow::on_spinBox_TappingValue_3_valueChanged(int arg1) { dcPage->showTwoDigits(arg1); }
void MainWindow::on_doubleSpinBox_ConductorTempValue_3_valueChanged(double arg1) { dcPage->showSign(arg1); }

void MainWindow::appendDcResultRow() { dcPage->appendRow(takeFinishedTrace(kDcPage)); }
void MainWindow::appendLengthResultRow() { lengthPage->appendRow(takeFinishedTrace(kLengthPage)); }

void MainWindow::on_toolButton_record_clicked() { dcPage->toggleTable(); }
void MainWindow::on_toolButton_record2_clicked() { lengthPage->toggleTable(); }
void MainWindow::on_pushButton_delete_clicked() { dcPage->deleteSelectedRows(); }
void MainWindow::on_pushButton_delete2_clicked() { lengthPage->deleteSelectedRows(); }
void MainWindow::on_pushButton_clear_clicked() { dcPage->clearRows(); }
void MainWindow::on_pushButton_clear2_clicked() { lengthPage->clearRows(); }
