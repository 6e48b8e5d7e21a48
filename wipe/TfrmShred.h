#pragma once

// The Shred progress window: job progress (folder, file, "n  of  m", the job
// bar), pass progress (the pass bar and the method and pass text) and Cancel.

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "shredlist/ShredJob.h"
#include "wipe/ShredProgress.h"

namespace quenlo::gui {

// A progress bar whose range may exceed what the widget holds: values are
// scaled down to fit, so a file of any size moves it smoothly.
class ScaledBar {
public:
    explicit ScaledBar(QProgressBar* bar) : bar_(bar) {}
    void setRange(std::int64_t minimum, std::int64_t maximum);
    void setPosition(std::int64_t position);
    std::int64_t maximum() const { return maximum_; }

private:
    QProgressBar* bar_;
    std::int64_t maximum_ = 100;
    std::int64_t divisor_ = 1;
};

class TfrmShred : public QWidget, public wipe::ShredProgress, public shredlist::JobProgress {
    Q_OBJECT
public:
    TfrmShred();
    ~TfrmShred() override;
    void FormCreate() {}

    // The members, in the order the window declares them.
    QProgressBar* ProgressBar1;
    QLabel* labTitle;
    QLabel* labFolder;
    QLabel* labProcessed;
    QLabel* labMetod;
    QPushButton* btnCancel;
    QProgressBar* ProgressBar2;
    QFrame* Bevel1;

    ScaledBar& passBar() { return passBar_; }
    ScaledBar& jobBar() { return jobBar_; }

    // Sets ShredCancelled, nothing else.
    void btnCancelClick();

    // wipe::ShredProgress
    void setPassText(std::string_view text) override;
    void startPassBar(std::int64_t maximum) override;
    void setPassPosition(std::int64_t position) override;
    void processPendingMessages() override;

    // shredlist::JobProgress
    void showWindow() override;
    void closeWindow() override;
    void startJobBar(std::int64_t count) override;
    void setJobPosition(std::int64_t position) override;
    void resetPassPosition() override;
    void setFolderText(const std::string& text) override;
    void setTitleText(const std::string& text) override;
    void setProcessedText(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ScaledBar passBar_;
    ScaledBar jobBar_;
};

}  // namespace quenlo::gui
