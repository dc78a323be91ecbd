// The batch run behind OK: the engine of shp2s16 on every core, while this
// thread keeps the window painting and takes no input but a stop.
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <functional>
#include <system_error>
#include <thread>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"
#include "NativeText.h"
#include "PathParts.h"
#include "PreRun.h"
#include "PreviewWindow.h"

namespace drovana {

namespace {

namespace fs = std::filesystem;

// A folder text the user typed but never confirmed gets the separator that
// leaving its edit would have added.
void CompleteTypedFolder(QString& field, const QString& confirmed) {
    if (field != confirmed) {
        field = CConvertDlg::ConfirmedFolder(field);
    }
}

// Tells the dialog's thread what the engine's threads do: each start moves
// the bar, each failure is kept with its reason.
class RunObserver final : public BatchObserver {
public:
    RunObserver(CConvertDlg& dialog, std::function<void(const BatchItem&, const QString&)> failed)
        : dialog_(dialog), failed_(std::move(failed)) {}

    void Started(const BatchItem& item) override {
        const QString target = ReadableText(TextOf(item.target));
        QMetaObject::invokeMethod(
            &dialog_, [this, target] { started_(target); }, Qt::QueuedConnection);
    }

    void Finished(const BatchItem& item, const ConvertResult& result) override {
        if (!result.Ok()) {
            failed_(item, QString::fromStdString(DescribeConvertResult(result)));
        }
    }

    std::function<void(const QString&)> started_;

private:
    CConvertDlg& dialog_;
    std::function<void(const BatchItem&, const QString&)> failed_;
};

}  // namespace

void CConvertDlg::RunConversion() {
    m_nFiles = m_fileList->count();
    if (m_bRunning || m_nFiles < 1) {
        return;
    }
    BatchPlan plan;
    if (!PrepareRun(plan)) {
        return;
    }
    const int count = static_cast<int>(plan.items.size());
    const BatchOutcome outcome = RunBatch(plan);
    m_lastRun = {m_strShpFolder, m_strPegFolder, m_bUpdateOnly};
    m_strRunStatus = RunOutcomeText(outcome, count);
    RefreshFileList();
    if (m_bCloseAfterRun) {
        m_bCloseAfterRun = false;
        reject();
    }
}

// Reads what the user typed and plans the run of the listed maps; false,
// with the reason in the status line, when there is nothing to run.
bool CConvertDlg::PrepareRun(BatchPlan& plan) {
    // Enter in an edit reaches here with its text unconfirmed.
    const QString shpListed = m_strShpFolder;
    const QString pegListed = m_strPegFolder;
    const bool updateOnlyListed = m_bUpdateOnly;
    ReadControls();
    CompleteTypedFolder(m_strShpFolder, shpListed);
    CompleteTypedFolder(m_strPegFolder, pegListed);
    // The list was made for the folders as they were; the listed names mean
    // nothing in another folder, so convert what the new folders hold.
    if (m_strShpFolder != shpListed || m_strPegFolder != pegListed ||
        m_bUpdateOnly != updateOnlyListed) {
        RefreshFileList();
        if (m_nFiles < 1) {
            return false;
        }
    }
    // Never write where the user did not choose: not into the current
    // folder for an empty text, nor into a folder that is not there.
    if (m_strPegFolder.isEmpty()) {
        m_statusLine->setText(QStringLiteral("No PeG folder chosen: type one or press Select..."));
        return false;
    }
    if (CheckFolder(ToNative(m_strPegFolder)) != FolderState::kFolder) {
        m_statusLine->setText(
            QStringLiteral("The PeG folder does not exist: %1").arg(m_strPegFolder));
        return false;
    }
    std::vector<fs::path> names;
    for (int i = 0; i < m_fileList->count(); ++i) {
        names.push_back(
            PathOf(m_fileList->item(i)->data(kNativeNameRole).toByteArray().toStdString()));
    }
    plan = PlanNamedBatch(ToNative(m_strShpFolder), ToNative(m_strPegFolder), names);
    if (plan.error) {
        m_statusLine->setText(CannotReadFolder(plan.failedFolder, plan.error));
        return false;
    }
    return true;
}

BatchOutcome CConvertDlg::RunBatch(const BatchPlan& plan) {
    m_bRunning = true;
    m_stopRun = false;
    m_failures.clear();
    // A preview would show a target the run is about to replace.
    ClosePreviews(*this);
    // Disabling moves the focus to Cancel; left there, the next Enter would
    // close the program instead of converting again.
    const QPointer<QWidget> focused = focusWidget();
    SetInputEnabled(false);
    // From empty to full as the last file starts; a range of 0 to 0 would
    // show Qt's busy indicator for a single file.
    m_progress->setRange(0, static_cast<int>(plan.items.size()));
    m_progress->setValue(0);
    m_progress->show();

    int started = 0;
    RunObserver observer(*this, [this](const BatchItem& item, const QString& reason) {
        const std::string name = TextOf(item.source.filename());
        const std::lock_guard<std::mutex> lock(m_failuresMutex);
        m_failures[name] = ReadableText(name) + QStringLiteral(": ") + reason;
    });
    observer.started_ = [this, &started](const QString& target) {
        ShowFileStarted(++started, target);
    };
    QEventLoop loop;
    BatchOutcome outcome;
    std::thread engine([&] {
        outcome = ConvertBatch(plan.items, QThread::idealThreadCount(), m_stopRun, observer);
        // Queued behind every start the engine reported, so none is lost.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Paints and answers the desktop while the engine runs; input reaches
    // only Cancel, Esc and the close box, which stop the run.
    loop.exec();
    engine.join();

    m_progress->hide();
    SetInputEnabled(true);
    m_bRunning = false;
    if (focused) {
        focused->setFocus(Qt::OtherFocusReason);
    }
    return outcome;
}

void CConvertDlg::ShowFileStarted(int started, const QString& target) {
    m_progress->setValue(started);
    m_statusLine->setText(target);
}

void CConvertDlg::SetInputEnabled(bool enabled) {
    for (int id : {kIdShpFolderEdit, kIdPegFolderEdit, kIdUpdateOnly, kIdShpSelect, kIdPegSelect,
                   kIdFileList, kIdOk}) {
        GetDlgItem(id)->setEnabled(enabled);
    }
}

QString CConvertDlg::RunOutcomeText(const BatchOutcome& outcome, int count) {
    const auto converted = static_cast<int>(outcome.converted);
    const auto failed = static_cast<int>(outcome.failed);
    if (outcome.interrupted) {
        return QString::asprintf("Stopped: %d of %d files converted", converted, count);
    }
    if (outcome.syncError) {
        // None of the new names is sure to last.
        return QString::asprintf("%d of %d files could not be converted", count, count);
    }
    if (failed > 0) {
        return QString::asprintf("%d of %d files could not be converted", failed, count);
    }
    return QString::asprintf("%d files converted", converted);
}

void CConvertDlg::OnListSelectionChanged() {
    const QListWidgetItem* item = m_fileList->currentItem();
    const QString reason = item ? item->data(kFailureRole).toString() : QString();
    if (!reason.isEmpty()) {
        m_statusLine->setText(reason);
    } else if (!m_strRunStatus.isEmpty()) {
        m_statusLine->setText(m_strRunStatus);
    }
}

void CConvertDlg::reject() {
    if (m_bRunning) {
        m_stopRun = true;
        return;
    }
    QDialog::reject();
}

void CConvertDlg::closeEvent(QCloseEvent* event) {
    if (m_bRunning) {
        m_stopRun = true;
        m_bCloseAfterRun = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace drovana
