// Answering a message box, the toolkit's own dialog run by its own loop, as its
// close box answers it (where it has none, with the button that changes nothing).
#pragma once

class wxDialog;

void AnswerNativeDialog(wxDialog* dialog);
