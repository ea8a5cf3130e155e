// Everything outside the program that the window's controller reaches, in one place.
#pragma once

#include "platform/automation.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace nokari {

struct Services {
  const Files& files;
  const CodePage& codePage;  // the ANSI code page of text files without a byte-order mark
  Shell& shell;
  Clock& clock;
  Desktop& desktop;
  Clipboard& clipboard;
  Dialogs& dialogs;
  Automation& automation;
};

}  // namespace nokari
