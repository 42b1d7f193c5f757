#pragma once
// The long camera work: the login step, the read-all and save jobs, the worker thread that runs a
// job on its own copy of the session record, and the re-find of a camera after a save.
//
// A job never touches the owner's record: it works on the copy it was started with, and the owner
// copies the results back only when the job ends in time. A job that times out is discarded; its
// late writes land in its own copy and nowhere else. connectAllowed is shared by all copies, so
// clearing it at shut-down still reaches a pending connect.

#include "core/app/login_step.h"
#include "core/app/refind.h"
#include "core/app/worker_job.h"
#include "core/app/worker_poll.h"
#include "core/app/worker_run.h"
