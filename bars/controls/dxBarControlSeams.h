// What bar windows ask of the items they show beyond the bar model's own
// interfaces.
#pragma once

#include "bars/model/dxBarBase.h"

class TCustomdxBarControl;
class TCustomForm;
class TdxBarControl;

// An item that shows the links of its own inside the bar it stands on (a
// container item): the bar puts them after the item's link for its layout and
// takes them out again.
class IdxBarContainerItem {
 public:
  // Inserts the contained links into ALinks after AIndex (the container's link ALink).
  virtual void AddContainedLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink) = 0;
  virtual void RemoveContainedLinks(TdxBarItemLinks* ALinks) = 0;
  // The container's own link leaves the bar while its links show.
  virtual bool GroupsContainedLinks() = 0;

 protected:
  ~IdxBarContainerItem() = default;
};
