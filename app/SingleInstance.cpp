#include "app/SingleInstance.h"

const CInstanceEventNames kQuillonInstanceEvents = {"Global\\QuillonEvent4002", "Global\\QuillonEvent5002"};

namespace {

// Manual reset, signalled; the events are only ever tested for existence, never waited on.
HANDLE CreateInstanceEvent(const char* name, bool& existed)
{
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, name);
    existed = event != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    return event;
}

}  // namespace

InstanceClaim ClaimSingleInstance(const CInstanceEventNames& names, framework::ScopedKernelHandle& running,
                                  framework::ScopedKernelHandle& refusal)
{
    bool existed = false;
    framework::ScopedKernelHandle probe(CreateInstanceEvent(names.m_pszRefusal, existed));
    if (existed) return InstanceClaim::RefusalShowing;
    probe.Close();

    running.Reset(CreateInstanceEvent(names.m_pszRunning, existed));
    if (running.IsValid() && !existed) return InstanceClaim::First;

    refusal.Reset(CreateInstanceEvent(names.m_pszRefusal, existed));
    return InstanceClaim::AlreadyRunning;
}
