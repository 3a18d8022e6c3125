#!/usr/bin/python3
"""A stand-in for the network controller's FTP server, for tests and for the demo.

It serves a root folder over FTP as the controller does:
  * paths may use a backslash below the leading "/" as directory separator (/rfa\\cfg\\def);
  * LIST expands wildcards itself ("LIST *.set") and answers "550 No files found." when nothing
    matches;
  * the flash card is a pseudo-file (default /mmu/card) listed with the capacity given by
    --card-size, without that many bytes stored;
  * the default folders of the file categories exist.

Switches let tests make it misbehave: refuse every login, drop the data connection after N bytes,
refuse MKD or DELE, delay every reply, close the control connection after the Kth command, list in
DOS format instead of Unix format.

When it listens it prints one line to standard output and flushes it:
    Controller simulator ready on <host> port <port>
It runs until it is killed (SIGTERM or SIGINT).
"""

import argparse
import fnmatch
import logging
import os
import signal
import socket
import sys
import time

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import ActiveDTP, BufferedIteratorProducer, DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

DEFAULT_FOLDERS = ["mmu", "rfa/cfg/def", "rfa/fw", "rfa/drv", "rfa/web", "boot"]

# Commands whose argument is a path: a backslash in it separates directories.
PATH_COMMANDS = {"CWD", "XCWD", "MKD", "XMKD", "RMD", "XRMD", "STOR", "APPE", "RETR", "DELE",
                 "LIST", "NLST", "SIZE", "MDTM", "RNFR", "RNTO", "MLST", "MLSD", "STAT"}


class Options:
    """The command line's switches, shared by the handler classes below."""
    card_file = None  # the real local path of the card pseudo-file; None: no card
    card_size = 0
    drop_after = -1
    refuse_mkd = False
    refuse_dele = False
    reply_delay = 0.0
    close_after = -1
    dos_listing = False
    log_file = None
    commands_seen = 0


class RefusingAuthorizer(DummyAuthorizer):
    """Refuses every login, whatever the user name and password."""

    def validate_authentication(self, username, password, handler):
        raise AuthenticationFailed("Login incorrect.")


class ControllerFS(AbstractedFS):
    """The controller's file system: the card pseudo-file and the optional DOS listing format."""

    def _is_card(self, path):
        return Options.card_file is not None and os.path.realpath(path) == Options.card_file

    def _card_stat(self, real_stat):
        values = list(real_stat[:10])
        values[6] = Options.card_size
        return os.stat_result(values)

    def stat(self, path):
        result = super().stat(path)
        return self._card_stat(result) if self._is_card(path) else result

    def lstat(self, path):
        result = super().lstat(path)
        return self._card_stat(result) if self._is_card(path) else result

    def getsize(self, path):
        return Options.card_size if self._is_card(path) else super().getsize(path)

    def format_list(self, basedir, listing, ignore_err=True):
        if not Options.dos_listing:
            yield from super().format_list(basedir, listing, ignore_err)
            return
        for basename in listing:
            try:
                st = self.stat(os.path.join(basedir, basename))
            except OSError:
                if ignore_err:
                    continue
                raise
            stamp = time.strftime("%m-%d-%y  %I:%M%p", time.localtime(st.st_mtime))
            size = "<DIR>         " if os.path.isdir(os.path.join(basedir, basename)) \
                else "%14d" % st.st_size
            yield ("%s %s %s\r\n" % (stamp, size, basename)).encode("utf8", self.cmd_channel.unicode_errors)


class ControllerActiveDTP(ActiveDTP):
    """Forgets the data socket once it is handed to the data handler.

    The stock connector keeps the descriptor number and, when it is closed later (at the next PORT
    or at logout), unregisters whatever connection has been given that number since.
    """

    def handle_connect(self):
        try:
            super().handle_connect()
        finally:
            if self.cmd_channel.data_channel is not None and \
                    self.cmd_channel.data_channel.socket is self.socket:
                self._fileno = None
                self.socket = None


class ControllerDTP(DTPHandler):
    """Data connection that can be dropped after a given number of bytes in either direction."""

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        self._drop_pending = False

    def _drop(self):
        if self._closed:
            return
        try:
            # An abortive close: the peer sees a reset, not an orderly end of data.
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        except OSError:
            pass
        self._resp = ("426 Data connection dropped; transfer aborted.", logging.info)
        self.close()

    def send(self, data):
        if Options.drop_after < 0:
            return super().send(data)
        allowed = Options.drop_after - self.tot_bytes_sent
        if len(data) <= allowed:
            return super().send(data)
        sent = super().send(data[:allowed]) if allowed > 0 else 0
        if not self._drop_pending:
            self._drop_pending = True
            self.ioloop.call_later(0.05, self._drop)
        return sent

    def recv(self, buffer_size):
        data = super().recv(buffer_size)
        if Options.drop_after >= 0 and data:
            allowed = Options.drop_after - self.tot_bytes_received
            if len(data) > allowed:
                # Keeps what fits; handle_read drops the connection once it is written.
                data = data[:max(allowed, 0)]
                self._drop_pending = True
        return data

    def handle_read(self):
        if self._drop_pending and self._closed:
            return
        super().handle_read()
        if self._drop_pending:
            self._drop()

    handle_read_event = handle_read  # the base class binds this name to its own handle_read


class ControllerHandler(FTPHandler):
    """Control connection of the controller."""

    banner = "Controller simulator ready."
    use_sendfile = False
    active_dtp = ControllerActiveDTP
    dtp_handler = ControllerDTP
    abstracted_fs = ControllerFS

    def _log(self, line):
        if Options.log_file is None:
            return
        if line[:4].upper() == "PASS":
            line = "PASS ******"
        with open(Options.log_file, "a", encoding="utf8", errors="replace") as log:
            log.write(line + "\n")

    def pre_process_command(self, line, cmd, arg):
        self._log(line)
        Options.commands_seen += 1
        if Options.close_after > 0 and Options.commands_seen == Options.close_after:
            # The controller goes away without an answer (once, over the server's whole life).
            self.close()
            return
        if cmd.upper() in PATH_COMMANDS and arg:
            arg = arg.replace("\\", "/")
        return super().pre_process_command(line, cmd, arg)

    def respond(self, resp, logfun=logging.debug):
        if Options.reply_delay > 0:
            time.sleep(Options.reply_delay)
        return super().respond(resp, logfun)

    def ftp_LIST(self, path):
        # As the controller's directory search: only "*" and "?" are wildcards; brackets are
        # part of a name.
        pattern = os.path.basename(path)
        if "*" not in pattern and "?" not in pattern:
            return super().ftp_LIST(path)
        basedir = os.path.dirname(path)
        try:
            names = sorted(self.run_as_current_user(self.fs.listdir, basedir))
        except OSError:
            names = []
        literal_brackets = pattern.replace("[", "[[]")
        matches = [name for name in names if fnmatch.fnmatchcase(name, literal_brackets)]
        if not matches:
            self.respond("550 No files found.")
            return None
        producer = BufferedIteratorProducer(self.fs.format_list(basedir, matches))
        self.push_dtp_data(producer, isproducer=True, cmd="LIST")
        return path

    def ftp_MKD(self, path):
        if Options.refuse_mkd:
            self.respond("550 Cannot create directory: refused by the controller.")
            return None
        return super().ftp_MKD(path)

    def ftp_DELE(self, path):
        if Options.refuse_dele:
            self.respond("550 Cannot delete file: refused by the controller.")
            return None
        return super().ftp_DELE(path)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="FTP stand-in for the network controller.")
    parser.add_argument("--host", default="127.0.0.1", help="address to listen on (loopback)")
    parser.add_argument("--port", type=int, default=0, help="port; 0 picks a free one")
    parser.add_argument("--user", default="service")
    parser.add_argument("--password", default="service")
    parser.add_argument("--root", required=True, help="folder served as the controller's /")
    parser.add_argument("--card-path", default="/mmu/card",
                        help="remote path of the flash card pseudo-file")
    parser.add_argument("--card-size", type=int, default=64 * 1024 * 1024,
                        help="capacity in bytes listed for the card")
    parser.add_argument("--no-card", action="store_true", help="no card pseudo-file")
    parser.add_argument("--refuse-login", action="store_true", help="refuse every login")
    parser.add_argument("--login-fail-delay", type=float, default=3.0,
                        help="seconds before a refused login is answered")
    parser.add_argument("--drop-after", type=int, default=-1, metavar="N",
                        help="reset every data connection after N bytes")
    parser.add_argument("--refuse-mkd", action="store_true", help="answer every MKD with 550")
    parser.add_argument("--refuse-dele", action="store_true", help="answer every DELE with 550")
    parser.add_argument("--reply-delay", type=float, default=0.0, metavar="SECONDS",
                        help="wait this long before every reply")
    parser.add_argument("--close-after", type=int, default=-1, metavar="K",
                        help="close the control connection on the Kth command, without an answer "
                             "(counted over all connections, once)")
    parser.add_argument("--dos-listing", action="store_true",
                        help="list in DOS format instead of Unix format")
    parser.add_argument("--log", metavar="FILE", help="append every command received to FILE "
                                                      "(passwords masked)")
    parser.add_argument("--verbose", action="store_true", help="log the server's own messages")
    return parser.parse_args(argv)


def prepare_root(args):
    """Makes the default folders and the card pseudo-file; returns the root and the card's real
    path (None without a card)."""
    root = os.path.abspath(args.root)
    for folder in DEFAULT_FOLDERS:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    if args.no_card:
        return root, None
    card = os.path.join(root, args.card_path.lstrip("/").replace("\\", "/"))
    os.makedirs(os.path.dirname(card), exist_ok=True)
    if not os.path.exists(card):
        open(card, "wb").close()
    return root, os.path.realpath(card)


def main(argv):
    args = parse_arguments(argv)
    logging.basicConfig(level=logging.INFO if args.verbose else logging.WARNING,
                        format="simulator: %(message)s", stream=sys.stderr)
    root, Options.card_file = prepare_root(args)

    Options.card_size = args.card_size
    Options.drop_after = args.drop_after
    Options.refuse_mkd = args.refuse_mkd
    Options.refuse_dele = args.refuse_dele
    Options.reply_delay = args.reply_delay
    Options.close_after = args.close_after
    Options.dos_listing = args.dos_listing
    Options.log_file = args.log

    if args.refuse_login:
        authorizer = RefusingAuthorizer()
    else:
        authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, root, perm="elradfmwMT")
    ControllerHandler.authorizer = authorizer
    ControllerHandler.auth_failed_timeout = args.login_fail_delay

    server = FTPServer((args.host, args.port), ControllerHandler)
    host, port = server.socket.getsockname()[:2]

    def stop(signum, frame):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, stop)
    print("Controller simulator ready on %s port %d" % (host, port), flush=True)
    try:
        server.serve_forever(handle_exit=False)
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
