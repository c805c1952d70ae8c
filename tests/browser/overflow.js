const body = document.body;
const textRight = body.getBoundingClientRect().right - parseFloat(getComputedStyle(body).paddingRight);
let right = textRight;
for (const element of body.querySelectorAll("*"))
    right = Math.max(right, element.getBoundingClientRect().right);
body.dataset.overflow = Math.ceil(right - textRight);
