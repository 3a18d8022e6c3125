#include "tools/vantrel-site/SiteUsage.h"

using namespace Qt::StringLiterals;

namespace site_usage {

namespace {

const QString kCommon =
    uR"(  --site FOLDER          the installation folder (default: the current directory)
  --password-file FILE   the password, on the file's first line (default: asked once per
                         user name, without echo)
  --json FILE            also write the result table as JSON
  --parallel N           controllers at a time (default 8)
  --time-limit SECONDS   hard limit per controller, tries included (default 300)
  --retry-pause SECONDS  pause before the second try; the third waits twice as long (default 1)
)"_s;

const QString kExit =
    u"Exit status: 0 when every controller succeeded, 1 when any failed, 2 on a usage error."_s;

}  // namespace

QString Tool() {
    return uR"(Usage: vantrel-site COMMAND [OPTIONS]
Works on every controller of an installation: backs them up into a history (a git repository in
the installation folder's history/), pushes one file to many with proof (each file is read back
and its SHA-256 compared), restores from the history, and shows what changed.

Commands:
  init FOLDER [--name NAME] [--engineer NAME]   make an installation folder
  add NAME ADDRESS [--port N] [--user U]        add a controller
  backup [--only NAME,...] [--full]             take every controller's files into the history
  push CATEGORY FILE [--to NAME,...] [--dry-run]
                                                send a file (web: a tree) to the controllers
  restore NAME REMOTE-PATH [--from COMMIT]      put a file back from the history
  status [--only NAME,...]                      what differs between the history and the controllers
  log [--csv]                                   the record: who changed what, when, where

Categories: message-set, configuration, firmware, application, driver, default-configuration, web.
Run 'vantrel-site COMMAND --help' for a command's options.
)"_s + kExit;
}

QString Command(const QString& command) {
    if (command == u"init"_s) {
        return uR"(Usage: vantrel-site init FOLDER [--name NAME] [--engineer NAME]
Makes FOLDER an installation folder: site.ini with the site's name and the engineer's name for
the record (default: the operating system's user), and the history repository history/.
)"_s + kExit;
    }
    if (command == u"add"_s) {
        return uR"(Usage: vantrel-site add NAME ADDRESS [--port N] [--user U] [--site FOLDER]
Adds a controller to site.ini: NAME (letters, digits, ".", "_", "-") names its folder in the
history; --port defaults to 21, --user to "service". No password is stored.
)"_s + kExit;
    }
    if (command == u"backup"_s) {
        return uR"(Usage: vantrel-site backup [--only NAME,...] [--full] [OPTIONS]
Takes the files of all seven categories from every controller (or those named) into the
history, one commit for the run; a run that changed nothing makes no commit. A file is read
again when it is new or its listed size differs from the history's copy; with --full every file
is read and compared by its contents.
Options:
)"_s + kCommon +
               kExit;
    }
    if (command == u"push"_s) {
        return uR"(Usage: vantrel-site push CATEGORY FILE [--to NAME,...] [--dry-run] [OPTIONS]
For each controller: logs in, checks what the category requires (a message set must fit the
flash card), keeps the file it will replace in the history, uploads FILE, reads it back and
compares its SHA-256 with what was sent. The web category pushes the tree of the folder FILE.
The push is recorded in the history, even when it failed; a controller that failed is named
with the restore command that puts its old file back.
  --dry-run   logs in and lists only: prints per controller what would change, writes nothing
Options:
)"_s + kCommon +
               kExit;
    }
    if (command == u"restore"_s) {
        return uR"(Usage: vantrel-site restore NAME REMOTE-PATH [--from COMMIT] [OPTIONS]
Puts the file (or every file below the folder) REMOTE-PATH from the history back on the
controller NAME, read back and compared as a push is, and records it. REMOTE-PATH as the
controller writes it (/rfa\cfg\system.cfg) or with slashes (rfa/cfg/system.cfg); COMMIT as
'vantrel-site log' shows it (default: the latest).
Options:
)"_s + kCommon +
               kExit;
    }
    if (command == u"status"_s) {
        return uR"(Usage: vantrel-site status [--only NAME,...] [OPTIONS]
Compares every controller's files with the history by their contents: files added, removed and
changed, and for a message set which messages. Writes nothing.
Options:
)"_s + kCommon +
               kExit;
    }
    if (command == u"log"_s) {
        return uR"(Usage: vantrel-site log [--csv] [--site FOLDER]
The record, newest first: date, engineer, controller, action, file, digest, result, commit.
--csv writes it as comma-separated values with a header line.
)"_s + kExit;
    }
    return {};
}

}  // namespace site_usage
