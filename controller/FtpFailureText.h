#pragma once

#include <QString>

#include "ftp/FtpClient.h"

// What the user reads when a request failed: what failed, why in words a service engineer can act
// on, and the controller's own answer when it gave one ("552" as a full store, "421" as the
// controller closing the session, "425" as the data connection not opened, "426" as the
// controller breaking off the transfer).
namespace ftp_failure_text {

enum class Request { Connect, Upload, Download, Other };

// "<action>: <reason> (the controller answered "...")." cut to the length of the platform's
// error texts.
QString For(const QString& action, Request request, const FtpClient::Result& result,
            const FtpClient::Timeouts& timeouts, const QString& rememberedDirectory);

// A text for the user, cut to the length of the platform's error texts (254 characters).
QString Cut(const QString& text);

// What follows the text of an upload that failed or was cancelled after the controller took it:
// its file there may now be partly written.
QString IncompleteUpload();
// text, cut to the length of an error text, followed by " " and IncompleteUpload(), which is
// never cut.
QString WithIncompleteUpload(const QString& text);

}  // namespace ftp_failure_text
