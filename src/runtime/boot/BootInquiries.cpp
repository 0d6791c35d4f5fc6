#include "core/boot/BootFrames.h"
#include "link/TFlashWrRXCont.h"

// Inquiries: one command byte, answered by an inquiry reply whose code is the command + 0x10.

namespace {
namespace Cmd = tessaly::BootCmd;
using tessaly::InquiryReplyCode;
} // namespace

int TFlashWrRXCont::SupportDevice(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::SupportDevice, InquiryReplyCode(Cmd::SupportDevice), outLen, buf);
}

int TFlashWrRXCont::ClockInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::ClockInfo, InquiryReplyCode(Cmd::ClockInfo), outLen, buf);
}

int TFlashWrRXCont::TeibaiInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::TeibaiInfo, InquiryReplyCode(Cmd::TeibaiInfo), outLen, buf);
}

int TFlashWrRXCont::GetClockInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::GetClockInfo, InquiryReplyCode(Cmd::GetClockInfo), outLen, buf);
}

int TFlashWrRXCont::BootAreaInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::BootAreaInfo, InquiryReplyCode(Cmd::BootAreaInfo), outLen, buf);
}

int TFlashWrRXCont::UserAreaInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::UserAreaInfo, InquiryReplyCode(Cmd::UserAreaInfo), outLen, buf);
}

int TFlashWrRXCont::WriteSizeInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::WriteSizeInfo, InquiryReplyCode(Cmd::WriteSizeInfo), outLen, buf);
}

int TFlashWrRXCont::DataAreaChk(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::DataAreaChk, InquiryReplyCode(Cmd::DataAreaChk), outLen, buf);
}

int TFlashWrRXCont::DataAreaInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::DataAreaInfo, InquiryReplyCode(Cmd::DataAreaInfo), outLen, buf);
}

int TFlashWrRXCont::UserBootSumCheck(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::UserBootSumCheck, InquiryReplyCode(Cmd::UserBootSumCheck), outLen, buf);
}

int TFlashWrRXCont::UserAreaSumCheck(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::UserAreaSumCheck, InquiryReplyCode(Cmd::UserAreaSumCheck), outLen, buf);
}

int TFlashWrRXCont::BootProgInfo(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::BootProgInfo, InquiryReplyCode(Cmd::BootProgInfo), outLen, buf);
}

int TFlashWrRXCont::DataSumCheck(std::int32_t& outLen, BootReply& buf) {
    return SendInquiry(Cmd::DataSumCheck, InquiryReplyCode(Cmd::DataSumCheck), outLen, buf);
}
