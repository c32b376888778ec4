#include "crash/MailSender.h"

#include "crash/DnsQuery.h"
#include "crash/SmtpClient.h"

TMailMessage ReportMail(const TVesperModuleOptions& options, const std::string& report,
                        std::vector<TMailAttachment> attachments, long long unixTime) {
    TMailMessage m;
    m.Date = MailDate(unixTime);
    m.Sender = options.MailFrom.empty() ? options.MailTo : options.MailFrom;
    m.Recipient = options.MailTo;
    m.Subject = options.MailSubject;
    m.Body = report;
    m.Attachments = std::move(attachments);
    return m;
}

void SendBySmtp(const TVesperModuleOptions& options, const TMailMessage& mail, ISocket& socket, IDatagramSocket& dns,
                const std::string& localHostName) {
    TSmtpAccount account;
    account.Host = options.SmtpHost;
    if (account.Host.empty())
        account.Host = ResolveMailExchanger(mail.Recipient,
                                            options.DnsServers.empty() ? SystemDnsServers() : options.DnsServers, dns);
    account.Port = options.SmtpPort;
    account.UserName = options.SmtpUserName;
    account.Password = options.SmtpPassword;
    account.Sender = mail.Sender;
    account.Recipient = mail.Recipient;
    TVesperClientSMTP client(socket, localHostName);
    client.Send(account, BuildMailMessage(mail));
}
