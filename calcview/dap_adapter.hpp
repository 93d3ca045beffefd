// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// `calcview --dap`: the debug adapter on standard input and output.

namespace calcview {

/// Serves the Debug Adapter Protocol on standard input and output until the
/// client disconnects or closes its end; returns the exit status.
int runDapAdapter();

}  // namespace calcview
