// One running instance per machine, kept with two named events in the global namespace: the running
// instance holds the "running" event for as long as its main dialog runs, and a refused second
// instance holds the "refusal" event while its message is on screen, so that further starts
// meanwhile end without any window.
#pragma once

#include "framework/ScopedHandle.h"

struct CInstanceEventNames {
    const char* m_pszRunning;  // "Global\QuillonEvent4002"
    const char* m_pszRefusal;  // "Global\QuillonEvent5002"
};

extern const CInstanceEventNames kQuillonInstanceEvents;

enum class InstanceClaim {
    First,           // this is the running instance; `running` holds its event
    RefusalShowing,  // another start is showing its refusal: end silently, nothing is held
    AlreadyRunning,  // an instance runs: `refusal` holds its event until the process ends; `running`
                     // holds the running event until the refusal message was shown
};

// The first steps of the start routine. A failure to create the running event counts as a running
// instance.
InstanceClaim ClaimSingleInstance(const CInstanceEventNames& names, framework::ScopedKernelHandle& running,
                                  framework::ScopedKernelHandle& refusal);
