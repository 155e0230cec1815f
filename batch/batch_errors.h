#pragma once

// The exit status and message of work that reads or writes the user's files.
#include "batch_options.h"
#include "format/file_writer.h"
#include "input/user_messages.h"
#include "model/errors.h"

namespace tovimar::batch {

// Does `work` and gives ExitCompleted. When it throws, the message is shown and the status
// says what was wrong: a file that could not be read or written ExitFileFailed, a text or
// value that was refused (a line file's content, a material, a measurement) ExitStoppedAtInput.
template <typename Work>
int StatusOfFileWork(UserMessages& messages, Work&& work) {
  try {
    work();
    return ExitCompleted;
  } catch (const FileError& e) {  // before UserError, which it is
    messages.ShowMessage(e.what());
    return ExitFileFailed;
  } catch (const UserError& e) {
    messages.ShowMessage(e.what());
    return ExitStoppedAtInput;
  }
}

}  // namespace tovimar::batch
