#pragma once
// The window half of the platform layer in one include.

#include "platform/application.h"
#include "platform/cursor.h"
#include "platform/dialog.h"
#include "platform/monitor.h"
#include "platform/thread_messages.h"
#include "platform/tooltip.h"
#include "platform/window.h"
#include "platform/window_constants.h"
