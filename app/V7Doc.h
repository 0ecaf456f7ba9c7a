// The control center's document: it carries no data, stores nothing and loads
// nothing. The program has one window and no files, so there is no document or
// view manager; the application simply owns one of these for the run.
#pragma once

class CV7Doc {
public:
    // A new, empty document; always succeeds.
    bool OnNewDocument() { return true; }
};
