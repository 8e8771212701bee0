#pragma once
// Every call a lower layer makes to a higher one, in one place. A layer
// includes only the layers below it, so where it must ask something of a
// layer above (the main window, the carousel, the library, start-up), it
// declares a hook or a host interface of its own; ConnectUpwardCalls connects
// each hook to the code that answers it and names the host interfaces the
// main window installs when it composes its panes.
namespace modReelwise {

// Connects every hook, at the start of start-up, before anything may ask one.
// The answers reach the main window, the carousel and the library through
// gMainForm, gCarousel and gLibrary at the time of the call, and do nothing
// (or give the default) while that object does not exist, so no hook keeps a
// window that is gone.
void ConnectUpwardCalls();
// Empties every hook again (the launcher's take back their window-less
// defaults); the last step of shut-down.
void DisconnectUpwardCalls();

}  // namespace modReelwise
