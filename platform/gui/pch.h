// Precompiled for this layer's sources and tests (see platform/core/pch.h).
#pragma once
#include "platform/core/pch.h"

#include "platform/gui/ActnList.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Messaging.h"
#include "platform/gui/OwnerDrawState.h"
#include "platform/gui/ShiftState.h"
#include "platform/gui/StdCtrls.h"
