object TestForm: TTestForm
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'テスト' + #12501#12457#12540#12512
  ClientHeight = 120
  ClientWidth = 300
  Font.Charset = SHIFTJIS_CHARSET
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  Position = poScreenCenter
  OnShow = FormShow
  OnActivate = FormActivate
  PixelsPerInch = 96
  TextHeight = 12
  object Box: TGroupBox
    Left = 8
    Top = 8
    Width = 284
    Height = 60
    TabOrder = 1
    object Name: TEdit
      Left = 8
      Top = 20
      Width = 150
      Height = 20
      TabOrder = 1
      Text = 'it''s'
    end
    object Tick: TCheckBox
      Left = 170
      Top = 20
      Width = 100
      Height = 17
      Caption = 'ﾁｪｯｸ'
      TabOrder = 0
    end
  end
  object Ok: TButton
    Left = 60
    Top = 80
    Width = 81
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 0
    OnClick = OkClick
  end
  object Cancel: TButton
    Left = 160
    Top = 80
    Width = 81
    Height = 25
    Cancel = True
    Caption = 'ｷｬﾝｾﾙ'
    ModalResult = 2
    TabOrder = 2
  end
end
