#include "platform/WinApi.h"
#include "foundation/cxClasses.h"

#include <algorithm>

IMPLEMENT_CLASS(TcxObjectLink, TObject, (ConstructPlain<TcxObjectLink>))
IMPLEMENT_CLASS(TcxObjectLinkController, TObject, (ConstructPlain<TcxObjectLinkController>))
IMPLEMENT_CLASS(TcxFreeNotificator, TComponent, (ConstructWith<TcxFreeNotificator, TComponent>))

namespace {

// Exists exactly while links are handed out and not released.
TcxObjectLinkController* gController = nullptr;
int gLinkUsers = 0;

}  // namespace

// ---------------------------------------------------------------------------
// TcxObjectLinkController
// ---------------------------------------------------------------------------

TcxObjectLink* TcxObjectLinkController::AddLink(TObject* AObject) {
  auto* link = Make<TcxObjectLink>();
  link->Ref = AObject;
  FLinks.push_back(link);
  return link;
}

void TcxObjectLinkController::RemoveLink(TcxObjectLink* ALink) {
  const auto it = std::find(FLinks.begin(), FLinks.end(), ALink);
  if (it != FLinks.end()) FLinks.erase(it);
}

void TcxObjectLinkController::ClearLinks(TObject* AObject) {
  for (std::size_t i = FLinks.size(); i-- > 0;) {
    if (FLinks[i]->Ref == AObject) {
      FLinks[i]->Ref = nullptr;
      FLinks.erase(FLinks.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

// ---------------------------------------------------------------------------
// Links
// ---------------------------------------------------------------------------

TcxObjectLink* cxCreateObjectLink(TObject* AObject) {
  if (!AObject) return nullptr;
  if (!gController) gController = Make<TcxObjectLinkController>();
  TcxObjectLink* link = gController->AddLink(AObject);
  ++gLinkUsers;
  return link;
}

void cxReleaseObjectLink(TcxObjectLink* ALink) {
  if (!ALink) return;
  // A cleared link has left the controller's list already.
  if (gController && ALink->Ref) gController->RemoveLink(ALink);
  TObject::Free(ALink);
  if (gLinkUsers > 0 && --gLinkUsers == 0) FreeAndNil(gController);
}

void cxClearObjectLinks(TObject* AObject) {
  if (gController && AObject) gController->ClearLinks(AObject);
}

TcxObjectLinkController* cxGetObjectLinkController() {
  return gController;
}

// ---------------------------------------------------------------------------
// TcxFreeNotificator
// ---------------------------------------------------------------------------

TcxFreeNotificator::TcxFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}

void TcxFreeNotificator::AddSender(TComponent* ASender) {
  if (ASender) ASender->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* ASender) {
  if (ASender) ASender->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && OnFreeNotification) OnFreeNotification(AComponent);
}
