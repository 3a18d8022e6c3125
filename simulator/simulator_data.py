"""The data side of the controller simulator: its file system view (the card pseudo-file, the DOS
listing format) and its data connections (connected back late, dropped, trickled, stalled, cut by a
full store, ended early, or read slowly), as the switches in Options ask."""

import logging
import os
import socket
import time

from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import ActiveDTP, DTPHandler

from simulator_options import Options


class ControllerFS(AbstractedFS):
    """The controller's file system: the card pseudo-file and the optional DOS listing format."""

    def is_card(self, path):
        return Options.card_file is not None and os.path.realpath(path) == Options.card_file

    def _card_stat(self, real_stat):
        values = list(real_stat[:10])
        values[6] = Options.card_size
        return os.stat_result(values)

    def stat(self, path):
        result = super().stat(path)
        return self._card_stat(result) if self.is_card(path) else result

    def lstat(self, path):
        result = super().lstat(path)
        return self._card_stat(result) if self.is_card(path) else result

    def getsize(self, path):
        return Options.card_size if self.is_card(path) else super().getsize(path)

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
    or at logout), unregisters whatever connection has been given that number since. For a slow
    STOR reader the socket gets a small receive buffer before it connects.
    """

    def create_socket(self, family=socket.AF_INET, type=socket.SOCK_STREAM):
        super().create_socket(family, type)
        if Options.slow_stor > 0:
            # A small receive buffer from the start, so that what is not read yet stays with the
            # sender.
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)

    def handle_connect(self):
        if self.cmd_channel.late_port is not None:
            self.cmd_channel.swallow_connect_reply = True
        try:
            super().handle_connect()
        finally:
            self.cmd_channel.late_port = None
            if self.cmd_channel.data_channel is not None and \
                    self.cmd_channel.data_channel.socket is self.socket:
                self._fileno = None
                self.socket = None


class ControllerDTP(DTPHandler):
    """Data connection that can be dropped after a given number of bytes in either direction."""

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        self._drop_pending = False
        self._drop_reply = "426 Data connection dropped; transfer aborted."
        self._trickle_timer = None
        self._ending_early = False

    def _end_early(self):
        """Ends the data connection in order, as if the file ended here."""
        if self._closed:
            return
        self._resp = ("426 Transfer aborted; %d bytes transmitted." % self.tot_bytes_sent
                      if Options.end_data_early_426 else "226 Transfer complete.", logging.info)
        self.close()

    def enable_receiving(self, type, cmd):
        super().enable_receiving(type, cmd)
        if Options.slow_stor > 0:
            # A line of its own on the data connection, as some controllers write.
            try:
                self.socket.send(b"ready\r\n")
            except OSError:
                pass

    def _drop(self):
        if self._closed:
            return
        try:
            # An abortive close: the peer sees a reset, not an orderly end of data.
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        except OSError:
            pass
        self._resp = (self._drop_reply, logging.info)
        self.close()

    def _sleep(self):
        """Sends nothing for a tenth of a second: the trickle."""
        def wake():
            self._trickle_timer = None
            if not self._closed:
                self.add_channel(events=self.ioloop.WRITE)
        self.del_channel()
        self._trickle_timer = self.ioloop.call_later(0.1, wake, _errback=self.handle_error)

    def close(self):
        if self._trickle_timer is not None and not self._trickle_timer.cancelled:
            self._trickle_timer.cancel()
        if Options.truncate_stored >= 0 and not self._closed and self.receive and \
                self.transfer_finished and self.file_obj is not None and not self.file_obj.closed:
            # A store that completes but keeps less than it received, and still answers 226.
            self.file_obj.flush()
            self.file_obj.truncate(min(Options.truncate_stored, self.file_obj.tell()))
        super().close()

    def send(self, data):
        if Options.end_data_early >= 0 and self.file_obj is not None:  # a RETR, not a LIST
            allowed = Options.end_data_early - self.tot_bytes_sent
            sent = super().send(data[:allowed]) if allowed > 0 else 0
            if self.tot_bytes_sent >= Options.end_data_early and not self._ending_early:
                self._ending_early = True
                self.del_channel()
                self.ioloop.call_later(0.05, self._end_early, _errback=self.handle_error)
            return sent
        if Options.stall_after >= 0:
            allowed = Options.stall_after - self.tot_bytes_sent
            sent = super().send(data[:allowed]) if allowed > 0 else 0
            if allowed - sent <= 0:
                self.del_channel()  # nothing more, and no end: a stalled connection
            return sent
        if Options.trickle > 0:
            sent = super().send(data[:max(1, Options.trickle // 10)])
            self._sleep()
            return sent
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
        if Options.slow_stor > 0:
            buffer_size = max(1, Options.slow_stor // 10)
        data = super().recv(buffer_size)
        limit = Options.drop_after
        if Options.store_full_after >= 0:
            limit = Options.store_full_after
            self._drop_reply = "552 Requested file action aborted: exceeded storage allocation."
        if limit >= 0 and data:
            allowed = limit - self.tot_bytes_received
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
        elif Options.slow_stor > 0 and not self._closed:
            self._pause_reading()

    def _pause_reading(self):
        """Reads nothing for a tenth of a second: the slow reader."""
        def wake():
            self._trickle_timer = None
            if not self._closed:
                self.add_channel(events=self.ioloop.READ)
        self.del_channel()
        self._trickle_timer = self.ioloop.call_later(0.1, wake, _errback=self.handle_error)

    handle_read_event = handle_read  # the base class binds this name to its own handle_read
