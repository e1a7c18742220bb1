#include "dialogs/teamserverdialog.h"

#include "store/offthread.h"
#include "store/settingsfiles.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QVBoxLayout>

#include <array>
#include <memory>

namespace kept = settingsfiles::server;

namespace {

// What each store::TeamFault means to the operator; %1 is the service name.
const std::array<const char*, 7> kReachTexts{
    QT_TRANSLATE_NOOP("TeamServerDialog", "连接成功：服务“%1”可以使用。"),
    QT_TRANSLATE_NOOP("TeamServerDialog", "缺少服务器数据库驱动（libqt5sql5-psql），无法连接。"),
    QT_TRANSLATE_NOOP("TeamServerDialog", "服务名称“%1”无效：只能包含字母、数字、“_”、“.”和“-”。"),
    QT_TRANSLATE_NOOP("TeamServerDialog", "没有名为“%1”的服务：请检查 pg_service.conf（或 PGSERVICEFILE 指向的文件）。"),
    QT_TRANSLATE_NOOP("TeamServerDialog", "服务器拒绝连接或没有运行：请检查服务“%1”的地址和端口。"),
    QT_TRANSLATE_NOOP("TeamServerDialog", "密码错误或没有密码：请检查 ~/.pgpass（或 PGPASSFILE 指向的文件）。"),
    QT_TRANSLATE_NOOP("TeamServerDialog", "无法连接服务“%1”。"),
};
static_assert(kReachTexts.size() == std::size_t(store::TeamFault::Other) + 1, "a text for every fault");

const char* const kReachedStyle = "color: #2e7d32;";
const char* const kFaultStyle = "color: #c62828;";

}  // namespace

TeamServerDialog::TeamServerDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("团队服务器"));
    setAttribute(Qt::WA_DeleteOnClose);

    serviceEdit = new QLineEdit(this);
    serviceEdit->setObjectName(QStringLiteral("lineEdit_service"));
    serviceEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\w.-]*"),
                                                           QRegularExpression::UseUnicodePropertiesOption),
                                        serviceEdit));
    serviceEdit->setText(settingsfiles::readText(*settingsfiles::open(QLatin1String(kept::kFile)), kept::kService));
    serviceEdit->setPlaceholderText(tr("不使用团队服务器"));

    auto* note = new QLabel(tr("服务名称在 pg_service.conf 中定义；密码取自 ~/.pgpass，本程序不保存密码。"
                               "留空则测试结果只保存在本机。"),
                            this);
    note->setWordWrap(true);

    testButton = new QPushButton(tr("测试连接"), this);
    testButton->setObjectName(QStringLiteral("pushButton_test"));
    result = new QLabel(this);
    result->setObjectName(QStringLiteral("label_result"));
    result->setWordWrap(true);
    result->setTextInteractionFlags(Qt::TextSelectableByMouse);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));

    auto* form = new QFormLayout;
    form->addRow(tr("服务名称："), serviceEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(testButton);
    layout->addWidget(result);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(520, 260);

    connect(testButton, &QPushButton::clicked, this, &TeamServerDialog::testConnection);
    connect(serviceEdit, &QLineEdit::textChanged, this, [this] {
        result->clear();
        updateButtons();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TeamServerDialog::keepService);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButtons();
}

QString TeamServerDialog::service() const
{
    return serviceEdit->text().trimmed();
}

QString TeamServerDialog::describe(const store::TeamReach& reach, const QString& service)
{
    QString text = tr(kReachTexts[std::size_t(reach.fault)]);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(service);
    if (!reach.detail.isEmpty())
        text += QLatin1Char('\n') + reach.detail;
    return text;
}

// The test runs in a thread of its own; a dialog closed meanwhile leaves it to
// end by itself and hears nothing of it.
void TeamServerDialog::testConnection()
{
    const QString tested = service();
    testing = true;
    updateButtons();
    result->setStyleSheet(QString());
    result->setText(tr("正在连接服务“%1”…").arg(tested));
    store::runOffThread<store::TeamReach>(
        this, [tested] { return store::probeTeamServer(tested); },
        [this, tested](const store::TeamReach& reach) {
            testing = false;
            updateButtons();
            showReach(reach, tested);
        });
}

void TeamServerDialog::showReach(const store::TeamReach& reach, const QString& service)
{
    result->setStyleSheet(QLatin1String(reach.reached() ? kReachedStyle : kFaultStyle));
    result->setText(describe(reach, service));
    resize(width(), qMax(height(), sizeHint().height()));  // the server's words may take several lines
    emit connectionTested(reach);
}

// A file that cannot be written costs only the remembered service: it applies anyway.
void TeamServerDialog::keepService()
{
    const std::unique_ptr<QSettings> settings = settingsfiles::open(QLatin1String(kept::kFile));
    settingsfiles::writeText(*settings, kept::kService, service());
    settings->sync();
    if (settings->status() != QSettings::NoError)
        qWarning() << "could not write" << settings->fileName();
    emit serviceChosen(service());
    accept();
}

void TeamServerDialog::updateButtons()
{
    testButton->setEnabled(!testing && !service().isEmpty());
}
