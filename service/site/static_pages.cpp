#include "service/site/static_pages.h"

#include "service/site/html.h"

namespace service {

std::string HelpPageBody() {
  return "<p>Vymera 同步软件把健康秤的体重、计步器和运动追踪器的每日运动数据上传到你的会员账号。</p>"
         "<h2>开始使用</h2><ol>"
         "<li>在本站<a href=\"/register\">注册</a>一个以电子邮件地址为账号的会员。</li>"
         "<li>在客户端里点击“添加账户”，输入账号和密码。</li>"
         "<li>插上健康秤的接收器或计步器，在客户端里绑定硬件。一台健康秤最多可以绑定四位家庭成员，"
         "计步器和运动追踪器只属于一个人。</li>"
         "<li>称重或插上计步器后，客户端会自动上传数据；在“我的主页”可以看到体重曲线和运动日。</li></ol>"
         "<h2>常见问题</h2><p>“非法的每日运动数据”表示这一天的数据已经上传过，或者数据已损坏；"
         "客户端不会再重复发送它。</p>";
}

std::string CustomerServicePageBody(std::string_view desk) {
  std::string body = "<p>这里是参考服务自带的客服页面，没有真人值守。</p>";
  if (desk.rfind("qq", 0) == 0) {
    body += "<p>在线客服 " + HtmlText(std::string(desk.substr(2))) + "：工作日 9:00 - 18:00。</p>";
  } else {
    body += "<p>网上商城客服：订单、发货和退换货的问题请在这里留言。</p>";
  }
  body += "<p>同步的常见问题请先看<a href=\"/help\">帮助</a>。</p>";
  return body;
}

std::string ForgotPasswordPageBody() {
  return "<p>本服务运行在你自己的电脑上，不会发送电子邮件。</p>"
         "<p>请让管理员运行 <code>vymera-service set-password 账号 新密码</code> 重设密码，"
         "然后在客户端里用新密码重新登录。</p>";
}

std::string RegisterFormBody(const std::string& problem, const std::string& account, const std::string& uname) {
  std::string body;
  if (!problem.empty()) body += "<p class=\"error\">" + HtmlText(problem) + "</p>";
  body += "<form method=\"post\" action=\"/register\">"
          "<label>账号（电子邮件地址）<br><input name=\"account\" type=\"email\" required value=\"" +
          HtmlText(account) +
          "\"></label>"
          "<label>密码<br><input name=\"password\" type=\"password\" required></label>"
          "<label>昵称<br><input name=\"uname\" required value=\"" +
          HtmlText(uname) +
          "\"></label>"
          "<button type=\"submit\">注册</button></form>";
  return body;
}

}  // namespace service
