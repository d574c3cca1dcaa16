// The shredder's two windows: the confirmation that shows the chosen path and warns that shredded
// data cannot be recovered, and the progress of the job with its cancel button.
#pragma once

#include <atomic>
#include <string>

#include "framework/Dialog.h"
#include "shredder/ShredJob.h"

namespace shredder {

// IDOK only when the user pressed "粉碎"; Cancel is the default button.
class CConfirmDlg : public framework::CDialog {
public:
    explicit CConfirmDlg(const std::string& path);

protected:
    BOOL OnInitDialog() override;

private:
    std::string m_strPath;
};

// Runs the job on a worker thread, entry by entry, while the dialog shows the path at hand and the
// share done. Cancel stops the job after the entry at hand. DoModal returns IDOK when the job ran to
// its end, IDCANCEL when it was cancelled.
class CProgressDlg : public framework::CDialog {
public:
    explicit CProgressDlg(CShredJob& job);
    ~CProgressDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    static UINT RunJob(LPVOID self);

    CShredJob& m_job;
    HANDLE m_hWorker = nullptr;
    std::atomic<bool> m_bCancel{false};
};

}  // namespace shredder
