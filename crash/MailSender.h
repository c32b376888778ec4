#pragma once
// Sending a report by SMTP, as the options configure it.
#include <string>
#include <vector>

#include "crash/MailMessage.h"
#include "crash/Options.h"
#include "crash/Socket.h"

// The report mail: options' addresses and subject, the report as text.
TMailMessage ReportMail(const TVesperModuleOptions& options, const std::string& report,
                        std::vector<TMailAttachment> attachments, long long unixTime);

// Delivers `mail` to the configured SMTP server, or to the mail exchanger of
// the recipient's domain when none is configured (asking the configured DNS
// servers, else the system's). Raises Exception with the reporter's texts.
void SendBySmtp(const TVesperModuleOptions& options, const TMailMessage& mail, ISocket& socket, IDatagramSocket& dns,
                const std::string& localHostName);
