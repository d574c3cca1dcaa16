#include "shredder/ShredderDialogs.h"

#include <commctrl.h>

#include "framework/WorkerThread.h"
#include "shredder/ShredderResource.h"

namespace shredder {
namespace {

// Worker to dialog: entry wp is about to be processed; the job has ended (wp: 1 when cancelled).
constexpr UINT kMsgEntry = WM_APP + 1;
constexpr UINT kMsgDone = WM_APP + 2;

const char* QuestionFor(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return "将删除以下链接（它指向的位置不受影响）：";
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "将粉碎以下文件夹及其中的全部内容：";
    return "将粉碎以下文件：";
}

}  // namespace

CConfirmDlg::CConfirmDlg(const std::string& path) : CDialog(IDD_SHRED_CONFIRM), m_strPath(path) {}

BOOL CConfirmDlg::OnInitDialog()
{
    SetDlgItemTextA(m_hWnd, IDC_SHRED_QUESTION, QuestionFor(m_strPath));
    SetDlgItemTextA(m_hWnd, IDC_SHRED_PATH, m_strPath.c_str());
    SetFocus(GetItem(IDCANCEL));
    return FALSE;
}

CProgressDlg::CProgressDlg(CShredJob& job) : CDialog(IDD_SHRED_PROGRESS), m_job(job) {}

CProgressDlg::~CProgressDlg()
{
    if (!m_hWorker) return;
    m_bCancel = true;
    WaitForSingleObject(m_hWorker, INFINITE);
    CloseHandle(m_hWorker);
}

BOOL CProgressDlg::OnInitDialog()
{
    SendDlgItemMessageA(m_hWnd, IDC_SHRED_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(m_job.Count()));
    m_hWorker = framework::BeginWorkerThread(RunJob, this);
    if (!m_hWorker) EndDialog(IDCANCEL);
    return TRUE;
}

UINT CProgressDlg::RunJob(LPVOID param)
{
    auto* self = static_cast<CProgressDlg*>(param);
    size_t index = 0;
    for (; index < self->m_job.Count() && !self->m_bCancel; ++index) {
        PostMessageA(self->m_hWnd, kMsgEntry, index, 0);
        self->m_job.Process(index);
    }
    PostMessageA(self->m_hWnd, kMsgDone, index < self->m_job.Count(), 0);
    return 0;
}

// The entry at hand finishes first: a file is never left half overwritten by a cancel.
void CProgressDlg::OnCancel()
{
    m_bCancel = true;
    EnableWindow(GetItem(IDCANCEL), FALSE);
}

bool CProgressDlg::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result)
{
    if (msg == kMsgEntry) {
        SetDlgItemTextA(m_hWnd, IDC_SHRED_CURRENT, m_job.PathOf(wp).c_str());
        SendDlgItemMessageA(m_hWnd, IDC_SHRED_BAR, PBM_SETPOS, wp, 0);
    } else if (msg == kMsgDone) {
        EndDialog(wp ? IDCANCEL : IDOK);
    } else {
        return false;
    }
    result = 0;
    return true;
}

}  // namespace shredder
