#pragma once

#include <QByteArray>

#include "controller/StoredSizeCheck.h"
#include "ftp/FtpClient.h"
#include "ftp/TransferType.h"

class BlockCopy;

// The network part of one transfer whose files are open: the bytes between the file side (copy)
// and the controller's file name, a binary file as it is, an ASCII one with CRLF line ends on the
// wire and LF here. For an upload, sent tells what went out; a download is checked against the
// size the controller gives, listedSize where SIZE does not answer (-1: none listed;
// FtpClient::Retrieve).
FtpClient::Result CopyOverNetwork(FtpClient& client, const QByteArray& name, bool upload,
                                  TransferType type, qint64 listedSize, BlockCopy& copy,
                                  stored_size_check::Sent* sent);
