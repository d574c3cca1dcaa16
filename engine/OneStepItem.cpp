#include "engine/OneStepItem.h"

#include "engine/RunReport.h"

namespace {

constexpr int kOneStepUnits = 100;

}  // namespace

void CompleteOneStep(const CRunContext* context)
{
    if (!context) return;
    SetProgressPos(context, context->m_pItemBar, kOneStepUnits);
    AdvanceProgress(context, context->m_pTotalBar, kOneStepUnits);
}

int OneStepResult(const CRunContext* context)
{
    return context && context->IsStopRequested() ? 0 : 1;
}
